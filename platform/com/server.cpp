#include "platform/com/server.h"

#include "platform/com/classobject.h"
#include "platform/com/library.h"
#include "platform/com/registry.h"
#include "platform/runtimeerror.h"

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

HRESULT getClassObject(std::span<const ClassEntry> classes, REFCLSID rclsid, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const ClassEntry &entry : classes) {
        if (entry.info->clsid == rclsid) {
            ClassObject *factory = ClassObject::create(entry.create);
            const HRESULT h = factory->QueryInterface(riid, ppv);
            factory->Release();
            return h;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT canUnloadNow()
{
    return Module::canUnloadNow();
}

} // namespace platform::com::server
