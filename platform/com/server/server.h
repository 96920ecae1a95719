#pragma once

#include "platform/com/typelib/typetable.h"

#include <span>

// What a control library's four entry points hand to the runtime: each
// entry point passes its request together with the library's type table.
namespace platform::com::server {

// Makes a new object of one class and hands out the interface riid.
using CreateFunction = HRESULT (*)(REFIID riid, void **ppv);

struct ClassEntry {
    const ClassInfo *info;
    CreateFunction create;
};

// Registers everything the table describes, served by the library file
// that contains addressInLibrary. SELFREG_E_CLASS when the registry can't
// be written. Both calls give the cause of a failure as a warning. On
// Windows the registry is the current user's part of the system registry
// (HKCU\Software\Classes: each class's CLSID key and ProgID) and the type
// library embedded in the file is registered for the user too
// (RegisterTypeLibForUser; SELFREG_E_TYPELIB when that fails); elsewhere
// it is the registry file.
HRESULT registerServer(const TypeLibraryInfo &lib, const void *addressInLibrary);
// Removes what registerServer wrote. REGDB_E_WRITEREGDB on failure
// (SELFREG_E_TYPELIB when the type library stays registered).
HRESULT unregisterServer(const TypeLibraryInfo &lib);
// The class factory of one class; CLASS_E_CLASSNOTAVAILABLE for a class
// the library doesn't serve.
HRESULT getClassObject(std::span<const ClassEntry> classes, REFCLSID rclsid, REFIID riid, void **ppv);
// S_OK when no object of the library is alive and no lock held, and the
// library hasn't started Qt for a host that isn't a Qt program (Windows).
HRESULT canUnloadNow();

} // namespace platform::com::server
