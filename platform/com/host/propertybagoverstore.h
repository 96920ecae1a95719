#pragma once

#include "platform/com/core/comimpl.h"
#include "platform/com/core/persistinterfaces.h"
#include "platform/settings/propertystore.h"

namespace platform::com {

// The host's side of a restore or save: the IPropertyBag it hands to a
// control's Load or Save, over its platform::PropertyStore (for instance a
// platform::MemoryPropertyStore kept as a JSON file). The store must
// outlive the bag. Keys match as the store matches them (without regard to
// case for the platform's stores).
class PropertyBagOverStore : public ComImpl<IPropertyBag> {
public:
    // A new bag with one reference, owned by the caller.
    static PropertyBagOverStore *create(platform::PropertyStore &store);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override;
    // E_INVALIDARG when absent; the value converted to pVar->vt unless
    // that is VT_EMPTY (DISP_E_TYPEMISMATCH when it can't be).
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR pszPropName, VARIANT *pVar, IErrorLog *pErrorLog) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR pszPropName, VARIANT *pVar) override;

private:
    explicit PropertyBagOverStore(platform::PropertyStore &store) : m_store(store) {}

    platform::PropertyStore &m_store;
};

} // namespace platform::com
