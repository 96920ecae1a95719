#include "platform/com/host/propertybagoverstore.h"

#include "platform/core/runtimeerror.h"

namespace platform::com {

PropertyBagOverStore *PropertyBagOverStore::create(platform::PropertyStore &store)
{
    return new PropertyBagOverStore(store);
}

HRESULT STDMETHODCALLTYPE PropertyBagOverStore::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPropertyBag)
        return handOut(static_cast<IPropertyBag *>(this), ppvObject);
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE PropertyBagOverStore::Read(LPCOLESTR pszPropName, VARIANT *pVar, IErrorLog *)
{
    if (!pszPropName || !pVar)
        return E_POINTER;
    const std::optional<platform::Variant> stored = m_store.read(qstringFromOleString(pszPropName));
    if (!stored)
        return E_INVALIDARG;
    // On entry pVar only names the type wanted; it holds nothing to free.
    const VARTYPE wanted = pVar->vt;
    VariantInit(pVar);
    assignPlatformVariant(pVar, *stored);
    if (wanted == VT_EMPTY)
        return S_OK;
    const HRESULT h = VariantChangeType(pVar, pVar, VARIANT_ALPHABOOL, wanted);
    if (FAILED(h))
        VariantClear(pVar);
    return h;
}

HRESULT STDMETHODCALLTYPE PropertyBagOverStore::Write(LPCOLESTR pszPropName, VARIANT *pVar)
{
    if (!pszPropName || !pVar)
        return E_POINTER;
    try {
        m_store.write(qstringFromOleString(pszPropName), toPlatformVariant(*pVar));
    } catch (const platform::RuntimeError &e) {
        return hresultFromErrorNumber(e.number());
    }
    return S_OK;
}

} // namespace platform::com
