#include "platform/com/server/server.h"

#include "platform/com/server/classobject.h"

namespace platform::com::server {

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
