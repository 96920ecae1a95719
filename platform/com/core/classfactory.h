#pragma once

#include "platform/com/core/unknown.h"

namespace platform::com {

#ifdef _WIN32
using ::IClassFactory;
#else
inline constexpr IID IID_IClassFactory = makeGuid("00000001-0000-0000-C000-000000000046");

// Makes objects of one class. LockServer(TRUE) keeps the library loaded
// until a matching LockServer(FALSE).
class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown *pUnkOuter, REFIID riid, void **ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};
#endif

} // namespace platform::com
