// A patch as the update control applies it: one zstd frame decompressed
// with the product in place as its prefix, into a file of the cache.
#include "fuzz/fuzzsupport.h"
#include "platform/patch/patch.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString base = [] {
        const QString path = fuzzsupport::privateFolder() + QStringLiteral("/base");
        QByteArray release;
        for (int i = 0; i < 4096; ++i)
            release += QByteArray::number(i * 7919) + ' ';
        fuzzsupport::writeFile(path, release);
        return path;
    }();
    static const QString patch = fuzzsupport::privateFolder() + QStringLiteral("/patch");
    static const QString out = fuzzsupport::privateFolder() + QStringLiteral("/out");
    fuzzsupport::writeFile(patch, fuzzsupport::inputOf(data, size));
    const std::optional<QString> failure = platform::patch::applyPatch(base, patch, out);
    fuzzsupport::mustHold(failure.has_value() != QFileInfo::exists(out), "a file is rebuilt exactly when it is done");
    fuzzsupport::mustHold(!failure || !failure->isEmpty(), "a failure says why");
    QFile::remove(out);
    return 0;
}
