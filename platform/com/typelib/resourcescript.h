#pragma once

#include "platform/com/typelib/typetable.h"

#include <QString>

namespace platform::com {

// The Windows resource script of a control library, for the resource
// compiler: the type library file <name>.tlb as resource 1 (TYPELIB), each
// class's toolbox bitmap <class>.bmp as the BITMAP toolboxBitmapResource()
// numbers, and the table's version information, with OLESelfRegister when
// the library registers itself. The files are named in folder.
QString resourceScript(const TypeLibraryInfo &lib, const QString &folder);

} // namespace platform::com
