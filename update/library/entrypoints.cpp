// The library's exported entry points: each hands its request, with the
// library's type table, to the control runtime. A fifth, DllInstall, chooses
// where a registration goes: per user on Windows, system-wide on Linux.

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
// Exported by Update.def.in, with COM's calling convention.
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

#ifdef _WIN32
// regsvr32 /n /i:user registers for the current user; /u /n /i:user
// unregisters that.
UPDATE_ENTRY_POINT DllInstall(BOOL install, LPCWSTR commandLine)
#else
// regsvr --system calls it with "system" (or "system:DIR").
UPDATE_ENTRY_POINT DllInstall(BOOL install, LPCOLESTR commandLine)
#endif
{
    return server::install(qvWebUpdate::typeLibrary(), reinterpret_cast<const void *>(&DllInstall), install != FALSE,
                           commandLine);
}
