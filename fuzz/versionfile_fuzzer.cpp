// A version file as the update control reads it: its first line, bounded,
// then compared with the installed version.
#include "fuzz/fuzzsupport.h"
#include "platform/core/runtimeerror.h"
#include "platform/system/files.h"
#include "update/engine/versioncompare.h"

namespace {

int sign(int n)
{
    return (n > 0) - (n < 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = fuzzsupport::privateFolder() + QStringLiteral("/version.txt");
    fuzzsupport::writeFile(path, fuzzsupport::inputOf(data, size));
    QString line;
    try {
        line = platform::files::readFirstLine(path);
    } catch (const platform::RuntimeError &) {
        return 0;
    }
    fuzzsupport::mustHold(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')),
                          "the first line holds no line end");
    fuzzsupport::mustHold(line.toUtf8().size() <= 4 * platform::files::maxFirstLineBytes, "the line is bounded");
    for (const QString &installed : {QStringLiteral("1.0"), QStringLiteral("1.10"), line.left(line.size() / 2)}) {
        fuzzsupport::mustHold(sign(compareVersions(line, installed)) == -sign(compareVersions(installed, line)),
                              "versions order both ways alike");
    }
    fuzzsupport::mustHold(compareVersions(line, line) == 0, "a version is as new as itself");
    return 0;
}
