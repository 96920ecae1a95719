// The Linux class registry file as hosts read it: a ProgID's class, the
// class's library and its event interface.
#include "fuzz/fuzzsupport.h"
#include "platform/com/runtime/registry.h"
#include "platform/core/runtimeerror.h"

using platform::com::Registry;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The registry of this process alone; no system-wide one shows through.
    qputenv("XDG_DATA_HOME", QFile::encodeName(fuzzsupport::privateFolder()));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(fuzzsupport::privateFolder() + QStringLiteral("/system")));
    QDir().mkpath(fuzzsupport::privateFolder() + QStringLiteral("/tarnwick"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzsupport::writeFile(Registry::filePath(), fuzzsupport::inputOf(data, size));
    try {
        for (const QString &progId :
             {QStringLiteral("qvWebUpdate.ctlWebUpdate"), QStringLiteral("QVWEBUPDATE.QVPROGRESSBAR")}) {
            const std::optional<platform::com::CLSID> clsid = Registry::clsidFromProgId(progId);
            if (!clsid)
                continue;
            Registry::libraryOfClass(*clsid);
            Registry::sourceInterfaceOfClass(*clsid);
        }
    } catch (const platform::RuntimeError &) {
        // A damaged registry is reported, never read.
    }
    return 0;
}
