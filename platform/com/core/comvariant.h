#pragma once

#include "platform/com/core/bstr.h"
#include "platform/com/core/types.h"
#include "platform/core/variant.h"

#include <optional>

namespace platform::com {

#ifdef _WIN32
using ::VARIANT;
using ::VARIANTARG;
using ::VariantChangeType;
using ::VariantClear;
using ::VariantCopy;
using ::VariantCopyInd;
using ::VariantInit;
#else
class IUnknown;
class IDispatch;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

// A typed value as it crosses an interface, laid out as in COM. With
// VT_BYREF the union holds a pointer to a value of the base type that the
// caller owns (a callee may replace it: a BYREF BSTR may be freed and
// replaced by the callee).
struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown *punkVal;
        IDispatch *pdispVal;
        SHORT *piVal;
        LONG *plVal;
        float *pfltVal;
        double *pdblVal;
        VARIANT_BOOL *pboolVal;
        BSTR *pbstrVal;
        IUnknown **ppunkVal;
        IDispatch **ppdispVal;
        VARIANT *pvarVal;
        void *byref;
    };
};
using VARIANTARG = VARIANT;

// Makes an uninitialised VARIANT VT_EMPTY.
void VariantInit(VARIANT *v);
// Frees what the VARIANT owns (a BSTR, a reference) and makes it VT_EMPTY.
// A BYREF VARIANT owns nothing.
HRESULT VariantClear(VARIANT *v);
// Clears dest, then makes it a deep copy of src (BSTR copied, references
// added; a BYREF value copies the pointer).
HRESULT VariantCopy(VARIANT *dest, const VARIANT *src);
// Like VariantCopy, but a BYREF source is copied as the value it points to.
HRESULT VariantCopyInd(VARIANT *dest, const VARIANT *src);
// The flag that has a Boolean converted to the text "True" or "False"
// (Windows writes "-1" and "0" without it); this runtime always does so.
inline constexpr USHORT VARIANT_ALPHABOOL = 0x2;
// Converts src (dereferenced) to type vt into dest; dest may be src.
// Numbers, texts and Booleans convert by the rules of platform::Variant;
// DISP_E_TYPEMISMATCH when they can't, DISP_E_OVERFLOW when out of range,
// DISP_E_BADVARTYPE for a type this runtime does not carry.
HRESULT VariantChangeType(VARIANT *dest, const VARIANT *src, USHORT wFlags, VARTYPE vt);
#endif

// The platform value of a VARIANT (dereferenced). Raises "Type mismatch"
// (13) for interfaces, VT_NULL and types this runtime does not carry.
platform::Variant toPlatformVariant(const VARIANT &v);
// Clears dest and stores the platform value in it.
void assignPlatformVariant(VARIANT *dest, const platform::Variant &value);
// The VARTYPE that carries a platform value type.
VARTYPE vartypeOf(platform::Variant::Type type);

// The HRESULT that stands for a run-time error: DISP_E_TYPEMISMATCH for 13,
// DISP_E_OVERFLOW for 6, otherwise MAKE_HRESULT(SEVERITY_ERROR,
// FACILITY_CONTROL, number).
HRESULT hresultFromErrorNumber(int number);
// The run-time error number an HRESULT of hresultFromErrorNumber stands
// for; nothing for an HRESULT that carries none.
std::optional<int> errorNumberFromHresult(HRESULT h);

} // namespace platform::com
