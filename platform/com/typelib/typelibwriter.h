#pragma once

#include "platform/com/typelib/typetable.h"

#include <QString>

// Windows only: the binary type library of a type table, written through
// Windows' own ICreateTypeLib2, so that what LoadTypeLibEx reads is the
// table itself: its type information in the table's order (the enumerations
// of imported libraries without a file of their own after it), each
// interface's flags, each enumeration member's help string, and the colour
// type and IDispatch referenced from the standard OLE automation library.
namespace platform::com {

// Writes the library to path for the system it is built for (SYS_WIN32 or
// SYS_WIN64). The first failing call's HRESULT, with what it was doing in
// failedStep, when it fails.
HRESULT writeTypeLibrary(const TypeLibraryInfo &lib, const QString &path, QString *failedStep);

} // namespace platform::com
