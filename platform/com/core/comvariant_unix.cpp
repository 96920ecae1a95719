// The VARIANT functions of this runtime, where Windows has its own.

#include "platform/com/core/comvariant.h"

#include "platform/com/core/dispatch.h"
#include "platform/core/runtimeerror.h"

namespace platform::com {

namespace {

bool isCarried(VARTYPE base)
{
    switch (base) {
    case VT_EMPTY:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_BSTR:
    case VT_BOOL:
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return true;
    default:
        return false;
    }
}

// The value a BYREF VARIANT points to, as a plain (non-owning) VARIANT.
VARIANT dereferenced(const VARIANT &v)
{
    if (!(v.vt & VT_BYREF))
        return v;
    if (v.vt == (VT_BYREF | VT_VARIANT))
        return dereferenced(*v.pvarVal);
    VARIANT plain;
    VariantInit(&plain);
    plain.vt = v.vt & ~VT_BYREF;
    switch (plain.vt) {
    case VT_I2: plain.iVal = *v.piVal; break;
    case VT_I4: plain.lVal = *v.plVal; break;
    case VT_R4: plain.fltVal = *v.pfltVal; break;
    case VT_R8: plain.dblVal = *v.pdblVal; break;
    case VT_BOOL: plain.boolVal = *v.pboolVal; break;
    case VT_BSTR: plain.bstrVal = *v.pbstrVal; break;
    case VT_DISPATCH: plain.pdispVal = *v.ppdispVal; break;
    case VT_UNKNOWN: plain.punkVal = *v.ppunkVal; break;
    default: plain.byref = v.byref; break;
    }
    return plain;
}

HRESULT copyPlain(VARIANT *dest, const VARIANT &src)
{
    VARIANT copy = src;
    if (src.vt == VT_BSTR && src.bstrVal) {
        copy.bstrVal = SysAllocStringLen(src.bstrVal, SysStringLen(src.bstrVal));
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    } else if ((src.vt == VT_UNKNOWN || src.vt == VT_DISPATCH) && src.punkVal) {
        src.punkVal->AddRef();
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

} // namespace

void VariantInit(VARIANT *v)
{
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->dblVal = 0;
}

HRESULT VariantClear(VARIANT *v)
{
    if (!v)
        return E_POINTER;
    if (v->vt == VT_BSTR)
        SysFreeString(v->bstrVal);
    else if ((v->vt == VT_UNKNOWN || v->vt == VT_DISPATCH) && v->punkVal)
        v->punkVal->Release();
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT *dest, const VARIANT *src)
{
    if (!dest || !src)
        return E_POINTER;
    if (dest == src)
        return S_OK;
    if (src->vt & VT_BYREF) {
        VariantClear(dest);
        *dest = *src;
        return S_OK;
    }
    if (!isCarried(src->vt))
        return DISP_E_BADVARTYPE;
    return copyPlain(dest, *src);
}

HRESULT VariantCopyInd(VARIANT *dest, const VARIANT *src)
{
    if (!dest || !src)
        return E_POINTER;
    const VARIANT plain = dereferenced(*src);
    if (!isCarried(plain.vt))
        return DISP_E_BADVARTYPE;
    if (dest == src) {
        VARIANT copy;
        VariantInit(&copy);
        const HRESULT h = copyPlain(&copy, plain);
        if (FAILED(h))
            return h;
        // A BYREF source owns nothing; a plain one is replaced by its copy.
        if (!(src->vt & VT_BYREF))
            VariantClear(dest);
        *dest = copy;
        return S_OK;
    }
    return copyPlain(dest, plain);
}

HRESULT VariantChangeType(VARIANT *dest, const VARIANT *src, USHORT, VARTYPE vt)
{
    if (!dest || !src)
        return E_POINTER;
    if ((vt & VT_BYREF) || !isCarried(vt))
        return DISP_E_BADVARTYPE;
    const VARIANT plain = dereferenced(*src);
    if (!isCarried(plain.vt))
        return plain.vt == VT_NULL ? DISP_E_TYPEMISMATCH : DISP_E_BADVARTYPE;

    const bool fromInterface = plain.vt == VT_DISPATCH || plain.vt == VT_UNKNOWN;
    const bool toInterface = vt == VT_DISPATCH || vt == VT_UNKNOWN;
    if (fromInterface || toInterface) {
        if (!fromInterface || !toInterface)
            return DISP_E_TYPEMISMATCH;
        VARIANT result;
        VariantInit(&result);
        result.vt = vt;
        if (plain.punkVal) {
            const HRESULT h = plain.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown,
                                                            reinterpret_cast<void **>(&result.punkVal));
            if (FAILED(h))
                return DISP_E_TYPEMISMATCH;
        }
        if (dest != src || !(src->vt & VT_BYREF))
            VariantClear(dest);
        *dest = result;
        return S_OK;
    }

    platform::Variant converted;
    try {
        const platform::Variant value = toPlatformVariant(plain);
        switch (vt) {
        case VT_EMPTY: break;
        case VT_I2: converted = value.toInt16(); break;
        case VT_I4: converted = value.toInt32(); break;
        case VT_R4: converted = value.toSingle(); break;
        case VT_R8: converted = value.toDouble(); break;
        case VT_BSTR: converted = value.toString(); break;
        case VT_BOOL: converted = value.toBool(); break;
        default: return DISP_E_BADVARTYPE;
        }
    } catch (const platform::RuntimeError &e) {
        return hresultFromErrorNumber(e.number());
    }
    // Writing into a BYREF source must not free what the caller owns.
    if (dest == src && (src->vt & VT_BYREF))
        VariantInit(dest);
    assignPlatformVariant(dest, converted);
    return S_OK;
}

} // namespace platform::com
