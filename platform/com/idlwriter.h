#pragma once

#include "platform/com/typeinfo.h"

#include <QString>

namespace platform::com {

// A readable IDL-like listing of the type library: attributes, imports,
// and every type in the library's order with its members in slot order.
QString idlListing(const TypeLibraryInfo &lib);

} // namespace platform::com
