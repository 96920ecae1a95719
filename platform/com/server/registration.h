#pragma once

#include "platform/com/typelib/typetable.h"

#include <QString>

// Linux: what a control library's registration writes into a class
// registry file (platform/com/runtime/registry.h).
namespace platform::com::registration {

// Records the type library, its classes (ProgID, control flag, toolbox
// bitmap, miscellaneous status, default and source interfaces) and its
// interfaces, served by the library file at libraryPath, together with the
// library's version information, in the registry file at registryPath.
void registerLibrary(const TypeLibraryInfo &lib, const QString &libraryPath, const QString &registryPath);
// Removes every entry registerLibrary writes for lib from that file; the
// file goes when nothing else is left in it.
void unregisterLibrary(const TypeLibraryInfo &lib, const QString &registryPath);

} // namespace platform::com::registration
