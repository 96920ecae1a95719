#pragma once

#include "platform/com/core/comvariant.h"
#include "platform/com/core/unknown.h"

namespace platform::com {

#ifdef _WIN32
using ::IErrorLog;
using ::IPersist;
using ::IPersistPropertyBag;
using ::IPropertyBag;
#else
inline constexpr IID IID_IPropertyBag = makeGuid("55272A00-42CB-11CE-8135-00AA004BB851");
inline constexpr IID IID_IPersist = makeGuid("0000010C-0000-0000-C000-000000000046");
inline constexpr IID IID_IPersistPropertyBag = makeGuid("37D84F60-42CB-11CE-8135-00AA004BB851");

class IErrorLog;

// A host's keyed store of one control's settings.
class IPropertyBag : public IUnknown {
public:
    // Reads the value under the name (any letter case). pVar->vt on entry is
    // the type wanted (VT_EMPTY: as stored). E_INVALIDARG when absent.
    virtual HRESULT Read(LPCOLESTR pszPropName, VARIANT *pVar, IErrorLog *pErrorLog) = 0;
    virtual HRESULT Write(LPCOLESTR pszPropName, VARIANT *pVar) = 0;

protected:
    ~IPropertyBag() = default;
};

class IPersist : public IUnknown {
public:
    virtual HRESULT GetClassID(CLSID *pClassID) = 0;

protected:
    ~IPersist() = default;
};

// Restores and saves an object's settings through the host's property bag.
// A failure of the object's own restore or save comes back as the HRESULT
// hresultFromErrorNumber makes of its run-time error number.
class IPersistPropertyBag : public IPersist {
public:
    virtual HRESULT InitNew() = 0;
    virtual HRESULT Load(IPropertyBag *pPropBag, IErrorLog *pErrorLog) = 0;
    virtual HRESULT Save(IPropertyBag *pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) = 0;

protected:
    ~IPersistPropertyBag() = default;
};
#endif

} // namespace platform::com
