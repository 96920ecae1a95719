// Registration where the runtime is this one: in the per-user registry file.

#include "platform/com/server/server.h"

#include "platform/com/core/module.h"
#include "platform/com/runtime/registry.h"
#include "platform/core/runtimeerror.h"

#include <QtGlobal>

namespace platform::com::server {

HRESULT registerServer(const TypeLibraryInfo &lib, const void *addressInLibrary)
{
    const QString path = modulePathOf(addressInLibrary);
    if (path.isEmpty())
        return SELFREG_E_CLASS;
    try {
        Registry::registerLibrary(lib, path);
    } catch (const platform::RuntimeError &e) {
        qWarning("%s", qPrintable(e.description()));
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT unregisterServer(const TypeLibraryInfo &lib)
{
    try {
        Registry::unregisterLibrary(lib);
    } catch (const platform::RuntimeError &e) {
        qWarning("%s", qPrintable(e.description()));
        return REGDB_E_WRITEREGDB;
    }
    return S_OK;
}

} // namespace platform::com::server
