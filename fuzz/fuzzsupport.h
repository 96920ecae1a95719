#pragma once

// What every fuzz target shares: the input as Qt bytes, a check of what
// must hold (a failure aborts, which libFuzzer reports with the input), and
// a private folder for parsers that read files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace fuzzsupport {

inline QByteArray inputOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline void mustHold(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "must hold: %s\n", what);
        std::abort();
    }
}

// A folder of this process's own, made on first use and never shared.
inline QString privateFolder()
{
    static const QString folder = [] {
        const QString path = QDir::tempPath() + QStringLiteral("/tarnwick-fuzz-") + QString::number(qint64(getpid()));
        QDir().mkpath(path);
        return path;
    }();
    return folder;
}

// Writes bytes to path, replacing what was there.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    mustHold(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file can be written");
    file.write(bytes);
}

} // namespace fuzzsupport
