#include "platform/com/propertybagstore.h"

#include "platform/runtimeerror.h"

namespace platform::com {

namespace {

int errorNumberOf(HRESULT h)
{
    if (h == DISP_E_TYPEMISMATCH)
        return platform::ErrTypeMismatch;
    if (h == DISP_E_OVERFLOW)
        return platform::ErrOverflow;
    if (HRESULT_FACILITY(h) == FACILITY_CONTROL)
        return int(HRESULT_CODE(h));
    return platform::ErrPathFileAccess;
}

} // namespace

std::optional<platform::Variant> PropertyBagStore::read(const QString &key) const
{
    VARIANT value;
    VariantInit(&value);
    const HRESULT h = m_bag->Read(reinterpret_cast<LPCOLESTR>(key.utf16()), &value, nullptr);
    if (h == E_INVALIDARG)
        return std::nullopt;
    if (FAILED(h))
        throw platform::RuntimeError(errorNumberOf(h));
    try {
        platform::Variant result = toPlatformVariant(value);
        VariantClear(&value);
        return result;
    } catch (...) {
        VariantClear(&value);
        throw;
    }
}

void PropertyBagStore::write(const QString &key, const platform::Variant &value)
{
    VARIANT v;
    VariantInit(&v);
    assignPlatformVariant(&v, value);
    const HRESULT h = m_bag->Write(reinterpret_cast<LPCOLESTR>(key.utf16()), &v);
    VariantClear(&v);
    if (FAILED(h))
        throw platform::RuntimeError(errorNumberOf(h));
}

} // namespace platform::com
