#include "platform/com/core/comvariant.h"

#include "platform/core/runtimeerror.h"

#include <QScopeGuard>

namespace platform::com {

HRESULT hresultFromErrorNumber(int number)
{
    switch (number) {
    case platform::ErrTypeMismatch: return DISP_E_TYPEMISMATCH;
    case platform::ErrOverflow: return DISP_E_OVERFLOW;
    default: return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, std::uint32_t(number));
    }
}

std::optional<int> errorNumberFromHresult(HRESULT h)
{
    if (h == DISP_E_TYPEMISMATCH)
        return platform::ErrTypeMismatch;
    if (h == DISP_E_OVERFLOW)
        return platform::ErrOverflow;
    if (FAILED(h) && HRESULT_FACILITY(h) == FACILITY_CONTROL)
        return int(HRESULT_CODE(h));
    return std::nullopt;
}

VARTYPE vartypeOf(platform::Variant::Type type)
{
    switch (type) {
    case platform::Variant::Type::Empty: return VT_EMPTY;
    case platform::Variant::Type::String: return VT_BSTR;
    case platform::Variant::Type::Boolean: return VT_BOOL;
    case platform::Variant::Type::Integer: return VT_I2;
    case platform::Variant::Type::Long: return VT_I4;
    case platform::Variant::Type::Single: return VT_R4;
    case platform::Variant::Type::Double: return VT_R8;
    }
    return VT_EMPTY;
}

platform::Variant toPlatformVariant(const VARIANT &v)
{
    VARIANT plain;
    VariantInit(&plain);
    // Windows declares the source non-const; it is only read.
    if (FAILED(VariantCopyInd(&plain, const_cast<VARIANT *>(&v))))
        throw platform::RuntimeError(platform::ErrTypeMismatch);
    const auto clear = qScopeGuard([&plain] { VariantClear(&plain); });
    switch (plain.vt) {
    case VT_EMPTY: return platform::Variant();
    case VT_I2: return platform::Variant(std::int16_t(plain.iVal));
    case VT_I4: return platform::Variant(std::int32_t(plain.lVal));
    case VT_R4: return platform::Variant(plain.fltVal);
    case VT_R8: return platform::Variant(plain.dblVal);
    case VT_BOOL: return platform::Variant(plain.boolVal != VARIANT_FALSE);
    case VT_BSTR: return platform::Variant(qstringFromBstr(plain.bstrVal));
    default: throw platform::RuntimeError(platform::ErrTypeMismatch);
    }
}

void assignPlatformVariant(VARIANT *dest, const platform::Variant &value)
{
    VariantClear(dest);
    dest->vt = vartypeOf(value.type());
    switch (value.type()) {
    case platform::Variant::Type::Empty: break;
    case platform::Variant::Type::String: dest->bstrVal = bstrFromQString(value.toString()); break;
    case platform::Variant::Type::Boolean: dest->boolVal = value.toBool() ? VARIANT_TRUE : VARIANT_FALSE; break;
    case platform::Variant::Type::Integer: dest->iVal = value.toInt16(); break;
    case platform::Variant::Type::Long: dest->lVal = value.toInt32(); break;
    case platform::Variant::Type::Single: dest->fltVal = value.toSingle(); break;
    case platform::Variant::Type::Double: dest->dblVal = value.toDouble(); break;
    }
}

} // namespace platform::com
