#pragma once

#include "platform/com/core/types.h"

// Windows only: the type library embedded as resource 1 in the module that
// contains this code (Update.dll for the controls), loaded once for the
// process.
namespace platform::com {

HRESULT moduleTypeLib(ITypeLib **typeLib);
// The type information of one type (class or interface) of that library.
HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo **typeInfo);

} // namespace platform::com
