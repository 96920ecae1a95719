#pragma once

#include "platform/com/typelib/typetable.h"
#include "update/published/dispids.h"
#include "update/published/identifiers.h"

// The library's published contract in one table: library attributes, the
// type information in order, both classes, both interfaces with every
// member in slot order, the event interfaces and the enumerations. The
// dispatcher, registration and the IDL listing all read it.
namespace qvWebUpdate {

const platform::com::TypeLibraryInfo &typeLibrary();
const platform::com::ClassInfo &ctlWebUpdateClass();
const platform::com::ClassInfo &qvProgressBarClass();

} // namespace qvWebUpdate
