#include "platform/com/control/propertystoreoverbag.h"

#include "platform/core/runtimeerror.h"

namespace platform::com {

namespace {

// A bag that fails without a run-time error of its own failed to read or
// write its store.
int errorNumberOf(HRESULT h)
{
    return errorNumberFromHresult(h).value_or(platform::ErrPathFileAccess);
}

} // namespace

std::optional<platform::Variant> PropertyStoreOverBag::read(const QString &key) const
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

void PropertyStoreOverBag::write(const QString &key, const platform::Variant &value)
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
