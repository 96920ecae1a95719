// Restoring a control's settings from a saved bag of many keys: the file is
// read into a property store, then the update control's seven keys are read
// back through a property bag in other letter cases, as a restore does.
//
//   build/bench/propertybag_bench

#include "platform/settings/memorypropertystore.h"
#include "platform/settings/propertybag.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A bag file with the given number of other keys besides two of the control's own.
QString writeBag(const QTemporaryDir &dir, int keys)
{
    QJsonObject object{{QStringLiteral("DownloadFile"), QStringLiteral("http://127.0.0.1/local/tarnwick.exe")},
                       {QStringLiteral("AutoRun"), true}};
    for (int i = 0; i < keys; ++i)
        object.insert(QStringLiteral("Setting%1").arg(i, 6, 10, QLatin1Char('0')), QStringLiteral("value %1").arg(i));
    const QString path = dir.filePath(QStringLiteral("bag.json"));
    QSaveFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QJsonDocument(object).toJson());
    file.commit();
    return path;
}

void RestoreBag(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeBag(dir, int(state.range(0)));
    for (auto _ : state) {
        platform::MemoryPropertyStore store = platform::MemoryPropertyStore::loadFromFile(path);
        const platform::PropertyBag bag(store);
        for (const char *key : {"downloadlocation", "DOWNLOADFILE", "downloadVersionFile", "currentversion",
                                "ConfirmDownload", "autorun", "LogFileName"})
            benchmark::DoNotOptimize(bag.ReadProperty(QString::fromLatin1(key)));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RestoreBag)->Arg(40000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
