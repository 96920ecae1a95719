#pragma once

#include "platform/com/core/guid.h"
#include "platform/com/core/types.h"

namespace platform::com {

#ifdef _WIN32
using ::IUnknown;
#else
inline constexpr IID IID_IUnknown = makeGuid("00000000-0000-0000-C000-000000000046");

// The root of every interface: identity through QueryInterface and a
// reference count. Release frees the object when the count reaches zero.
class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID riid, void **ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
#endif

} // namespace platform::com
