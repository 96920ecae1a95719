#pragma once

#include "platform/com/typelib/typetable.h"

#include <QString>

namespace platform::com {

// The type library as IDL that widl compiles into a type library file:
// attributes, imports, the enumerations, then the other types in the
// library's order with their members in slot order.
QString idlListing(const TypeLibraryInfo &lib);

} // namespace platform::com
