// The library's four exported entry points: each hands its request, with
// the library's type table, to the control runtime.

#include "platform/com/server.h"
#include "update/library/progressbarobject.h"
#include "update/library/typelibrary.h"
#include "update/library/webupdateobject.h"

using namespace platform::com;

namespace {

const server::ClassEntry classEntries[] = {
    {&qvWebUpdate::ctlWebUpdateClass(), &qvWebUpdate::WebUpdateObject::create},
    {&qvWebUpdate::qvProgressBarClass(), &qvWebUpdate::ProgressBarObject::create},
};

} // namespace

#define UPDATE_EXPORT extern "C" __attribute__((visibility("default")))

UPDATE_EXPORT HRESULT DllCanUnloadNow()
{
    return server::canUnloadNow();
}

UPDATE_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void **ppv)
{
    return server::getClassObject(classEntries, rclsid, riid, ppv);
}

UPDATE_EXPORT HRESULT DllRegisterServer()
{
    return server::registerServer(qvWebUpdate::typeLibrary(), reinterpret_cast<const void *>(&DllRegisterServer));
}

UPDATE_EXPORT HRESULT DllUnregisterServer()
{
    return server::unregisterServer(qvWebUpdate::typeLibrary());
}
