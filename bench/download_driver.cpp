// Runs one update against an address and reports what the benchmarks
// compare: wall time of the run and of the download itself, CPU time, and
// peak resident memory.
//
//   download_driver <address> <download location> [cache folder]
//
// Prints one line: total_ms=... download_ms=... cpu_ms=... maxrss_kib=...

#include "platform/read/asyncread.h"
#include "update/engine/ctlwebupdate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <address> <download location> [cache folder]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);

    ctlWebUpdate control;
    auto *read = control.findChild<platform::AsyncRead *>();
    if (argc > 3)
        read->setCacheFolder(QString::fromLocal8Bit(argv[3]));
    control.setDownloadFile(QString::fromLocal8Bit(argv[1]));
    control.setDownloadLocation(QString::fromLocal8Bit(argv[2]));
    control.show();

    QElapsedTimer clock;
    qint64 downloadMs = -1;
    QObject::connect(read, &platform::AsyncRead::completed, [&] { downloadMs = clock.elapsed(); });
    clock.start();
    control.RunUpdate();
    const qint64 totalMs = clock.elapsed();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
    std::printf("total_ms=%lld download_ms=%lld cpu_ms=%ld maxrss_kib=%ld\n", totalMs, downloadMs, cpuMs,
                usage.ru_maxrss);
    return downloadMs < 0 ? 1 : 0;
}
