// The library's four exported entry points: each hands its request, with
// the library's type table, to the control runtime.

#include "platform/com/server/server.h"
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

#ifdef _WIN32
// Exported by Update.def, with COM's calling convention.
#define UPDATE_ENTRY_POINT STDAPI
#else
#define UPDATE_ENTRY_POINT extern "C" __attribute__((visibility("default"))) HRESULT
#endif

UPDATE_ENTRY_POINT DllCanUnloadNow()
{
    return server::canUnloadNow();
}

UPDATE_ENTRY_POINT DllGetClassObject(REFCLSID rclsid, REFIID riid, void **ppv)
{
    return server::getClassObject(classEntries, rclsid, riid, ppv);
}

UPDATE_ENTRY_POINT DllRegisterServer()
{
    return server::registerServer(qvWebUpdate::typeLibrary(), reinterpret_cast<const void *>(&DllRegisterServer));
}

UPDATE_ENTRY_POINT DllUnregisterServer()
{
    return server::unregisterServer(qvWebUpdate::typeLibrary());
}
