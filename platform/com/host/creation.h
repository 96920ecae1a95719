#pragma once

#include "platform/com/core/unknown.h"

#include <QString>

// Creating objects of registered classes: the class registry names the
// library, which is loaded and asked for its class factory. On Windows these
// are COM's own, over the system registry.
namespace platform::com {

#ifdef _WIN32
using ::CLSIDFromProgID;
using ::CoCreateInstance;
using ::CoGetClassObject;
#else
inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// The class registered under the ProgID (letter case ignored).
// REGDB_E_CLASSNOTREG when none is; REGDB_E_READREGDB when the registry
// can't be read.
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, CLSID *lpclsid);
// The class factory (or other class object interface riid) of a
// registered class. REGDB_E_CLASSNOTREG for a class not in the registry,
// CO_E_DLLNOTFOUND when its library can't be loaded, CO_E_ERRORINDLL when
// the library lacks DllGetClassObject.
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void *pvReserved, REFIID riid, void **ppv);
// A new object of a registered class through its class factory; the
// errors of CoGetClassObject and of IClassFactory::CreateInstance.
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown *pUnkOuter, DWORD dwClsContext, REFIID riid, void **ppv);
#endif

// For hosts: CLSIDFromProgID and CoCreateInstance in one, with a readable
// reason for a failure in *why (which ProgID, which library and why).
HRESULT createInstanceByProgId(const QString &progId, REFIID riid, void **ppv, QString *why = nullptr);

} // namespace platform::com
