#pragma once

#include "platform/com/typelib/typetable.h"

#include <QString>
#include <functional>
#include <optional>

namespace platform::com {

// The per-user class registry: one JSON file,
// $XDG_DATA_HOME/tarnwick/com-registry.json (XDG_DATA_HOME defaults to
// ~/.local/share). It maps ProgIDs to class identifiers and class
// identifiers to the library that serves them, and keeps what registration
// records about type libraries, classes and interfaces. Changes are made
// under a lock file and written atomically. Failures raise a
// platform::RuntimeError naming the file.
class Registry {
public:
    static QString filePath();

    // Records the type library, its classes (ProgID, control flag, toolbox
    // bitmap, miscellaneous status, default and source interfaces) and its
    // interfaces, served by the library file at libraryPath, together with
    // the library's version information.
    static void registerLibrary(const TypeLibraryInfo &lib, const QString &libraryPath);
    // Removes every entry registerLibrary writes for lib; the file goes
    // when nothing else is left in it.
    static void unregisterLibrary(const TypeLibraryInfo &lib);

    // The class registered under the ProgID (letter case ignored).
    static std::optional<CLSID> clsidFromProgId(const QString &progId);
    // The library file that serves the class.
    static std::optional<QString> libraryOfClass(REFCLSID clsid);
    // The interface through which the class raises its events, if it has one.
    static std::optional<IID> sourceInterfaceOfClass(REFCLSID clsid);

    // For tests of writers at the same time: called by every change between
    // reading the registry and writing it back, under the lock.
    static void setChangeHook(std::function<void()> hook);
};

} // namespace platform::com
