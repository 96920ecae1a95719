#pragma once

#include "platform/com/typelib/typetable.h"

#include <span>

// What a control library's entry points hand to the runtime: each entry
// point passes its request together with the library's type table.
namespace platform::com::server {

// Makes a new object of one class and hands out the interface riid.
using CreateFunction = HRESULT (*)(REFIID riid, void **ppv);

struct ClassEntry {
    const ClassInfo *info;
    CreateFunction create;
};

#ifdef _WIN32
// Where a registration goes: machine-wide, as regsvr32 users and installers
// expect (HKLM\Software\Classes, which HKEY_CLASSES_ROOT shows, and
// RegisterTypeLib), or for the current user (HKCU\Software\Classes and
// RegisterTypeLibForUser).
enum class Scope { Machine, User };

// Registers each class's CLSID key and ProgID and the type library embedded
// in the library file that contains addressInLibrary. A refused registry
// write fails with the system's error (HRESULT_FROM_WIN32), after taking
// back what was written; SELFREG_E_TYPELIB when the file has no type
// library. Both calls give the cause of a failure as a warning.
HRESULT registerServer(const TypeLibraryInfo &lib, const void *addressInLibrary, Scope scope = Scope::Machine);
// Removes exactly what registerServer wrote in that scope (SELFREG_E_TYPELIB
// when the type library stays registered).
HRESULT unregisterServer(const TypeLibraryInfo &lib, Scope scope = Scope::Machine);
// DllInstall, as ATL offers it: the command line "user" (any case)
// registers or unregisters for the current user, none machine-wide;
// anything else is E_INVALIDARG.
HRESULT install(const TypeLibraryInfo &lib, const void *addressInLibrary, bool registering,
                const wchar_t *commandLine);
#else
// Registers everything the table describes in the per-user registry file,
// served by the library file that contains addressInLibrary.
// SELFREG_E_CLASS when the registry can't be written. Every call gives the
// cause of a failure as a warning.
HRESULT registerServer(const TypeLibraryInfo &lib, const void *addressInLibrary);
// Removes what registerServer wrote. REGDB_E_WRITEREGDB on failure.
HRESULT unregisterServer(const TypeLibraryInfo &lib);
// DllInstall, as on Windows: no command line registers or unregisters for
// the current user, "system" in the system-wide registry of the first
// folder of $XDG_DATA_DIRS that can be written, "system:DIR" in the one
// under the data folder DIR; anything else is E_INVALIDARG.
HRESULT install(const TypeLibraryInfo &lib, const void *addressInLibrary, bool registering,
                const OLECHAR *commandLine);
#endif
// The class factory of one class; CLASS_E_CLASSNOTAVAILABLE for a class
// the library doesn't serve.
HRESULT getClassObject(std::span<const ClassEntry> classes, REFCLSID rclsid, REFIID riid, void **ppv);
// S_OK when no object of the library is alive and no lock held, and the
// library hasn't started Qt for a host that isn't a Qt program (Windows).
HRESULT canUnloadNow();

} // namespace platform::com::server
