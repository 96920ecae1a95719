// Registration where the runtime is this one: in a class registry file,
// the per-user one or a system-wide one.

#include "platform/com/server/server.h"

#include "platform/com/core/module.h"
#include "platform/com/runtime/registry.h"
#include "platform/com/server/registration.h"
#include "platform/core/runtimeerror.h"

#include <QtGlobal>

namespace platform::com::server {

namespace {

HRESULT registerIn(const TypeLibraryInfo &lib, const void *addressInLibrary, const QString &registryPath)
{
    const QString path = modulePathOf(addressInLibrary);
    if (path.isEmpty())
        return SELFREG_E_CLASS;
    try {
        registration::registerLibrary(lib, path, registryPath);
    } catch (const platform::RuntimeError &e) {
        qWarning("%s", qPrintable(e.description()));
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT unregisterIn(const TypeLibraryInfo &lib, const QString &registryPath)
{
    try {
        registration::unregisterLibrary(lib, registryPath);
    } catch (const platform::RuntimeError &e) {
        qWarning("%s", qPrintable(e.description()));
        return REGDB_E_WRITEREGDB;
    }
    return S_OK;
}

} // namespace

HRESULT registerServer(const TypeLibraryInfo &lib, const void *addressInLibrary)
{
    return registerIn(lib, addressInLibrary, Registry::filePath());
}

HRESULT unregisterServer(const TypeLibraryInfo &lib)
{
    return unregisterIn(lib, Registry::filePath());
}

HRESULT install(const TypeLibraryInfo &lib, const void *addressInLibrary, bool registering, const OLECHAR *commandLine)
{
    const QString command = commandLine ? QString::fromUtf16(commandLine) : QString();
    const QString system = QStringLiteral("system");
    QString registryPath;
    try {
        if (command.isEmpty())
            registryPath = Registry::filePath();
        else if (command == system)
            registryPath = Registry::systemFilePath();
        else if (command.startsWith(system + QLatin1Char(':')) && command.size() > system.size() + 1)
            registryPath = Registry::systemFilePath(command.mid(system.size() + 1));
        else
            return E_INVALIDARG;
    } catch (const platform::RuntimeError &e) {
        qWarning("%s", qPrintable(e.description()));
        return registering ? SELFREG_E_CLASS : REGDB_E_WRITEREGDB;
    }
    return registering ? registerIn(lib, addressInLibrary, registryPath) : unregisterIn(lib, registryPath);
}

} // namespace platform::com::server
