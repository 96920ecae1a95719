#pragma once

#include "platform/com/core/bstr.h"
#include "platform/com/core/comvariant.h"
#include "platform/com/core/unknown.h"

namespace platform::com {

#ifdef _WIN32
using ::DISPPARAMS;
using ::EXCEPINFO;
using ::IDispatch;
using ::ITypeInfo;
#else
inline constexpr IID IID_IDispatch = makeGuid("00020400-0000-0000-C000-000000000046");

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;
inline constexpr DISPID DISPID_AMBIENT_USERMODE = -709;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

// The arguments of one Invoke, last argument first as in COM.
struct DISPPARAMS {
    VARIANTARG *rgvarg;
    DISPID *rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// What Invoke fills in when it returns DISP_E_EXCEPTION. Errors of this
// system carry their run-time error number in scode as
// MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number) and the
// error's text in bstrDescription; the caller frees the BSTRs.
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void *pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO *);
    SCODE scode;
};
#endif

// Frees the strings of an EXCEPINFO and zeroes it.
void clearExcepInfo(EXCEPINFO *info);

#ifndef _WIN32
class ITypeInfo;

// Late binding: names to DISPIDs, and Invoke by DISPID with
// DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT (one argument, named
// DISPID_PROPERTYPUT) or DISPATCH_METHOD.
class IDispatch : public IUnknown {
public:
    virtual HRESULT GetTypeInfoCount(UINT *pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo **ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR *rgszNames, UINT cNames, LCID lcid, DISPID *rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS *pDispParams,
                           VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *puArgErr) = 0;

protected:
    ~IDispatch() = default;
};
#endif

} // namespace platform::com
