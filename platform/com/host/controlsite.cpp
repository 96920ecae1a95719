#include "platform/com/host/controlsite.h"

namespace platform::com {

ControlSite *ControlSite::create(QWidget *parent, bool userMode)
{
    return new ControlSite(parent, userMode);
}

HRESULT STDMETHODCALLTYPE ControlSite::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IControlSite)
        return handOut(static_cast<IControlSite *>(this), ppvObject);
    if (riid == IID_IDispatch)
        return handOut(static_cast<IDispatch *>(this), ppvObject);
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetParentWidget(QWidget **ppParent)
{
    if (!ppParent)
        return E_POINTER;
    *ppParent = m_parent;
    return S_OK;
}

HRESULT invokeAmbientProperty(bool userMode, DISPID dispIdMember, WORD wFlags, DISPPARAMS *pDispParams,
                              VARIANT *pVarResult)
{
    if (dispIdMember != DISPID_AMBIENT_USERMODE || !(wFlags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (pDispParams && pDispParams->cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    if (pVarResult) {
        VariantClear(pVarResult);
        pVarResult->vt = VT_BOOL;
        pVarResult->boolVal = userMode ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS *pDispParams,
                                              VARIANT *pVarResult, EXCEPINFO *, UINT *)
{
    return invokeAmbientProperty(m_userMode, dispIdMember, wFlags, pDispParams, pVarResult);
}

} // namespace platform::com
