#pragma once

#include "platform/com/control/controlobject.h"

namespace platform::com {

// A control object whose default interface is dual: Dual (an interface
// derived from IDispatch, with the members' get_/put_ and method slots)
// is handed out for the interface's IID, and its IUnknown and IDispatch
// slots are the object's own. The derived class implements the member
// slots with getValue, putValue and callMethod.
template <typename Dual>
class DualControlObject : public ControlObject, public Dual {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override
    {
        if (ppvObject && riid == m_dualIid)
            return handOut(static_cast<Dual *>(this), ppvObject);
        return ControlObject::QueryInterface(riid, ppvObject);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ControlObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ControlObject::Release(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *pctinfo) override
    {
        return ControlObject::GetTypeInfoCount(pctinfo);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo **ppTInfo) override
    {
        return ControlObject::GetTypeInfo(iTInfo, lcid, ppTInfo);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR *rgszNames, UINT cNames, LCID lcid,
                                            DISPID *rgDispId) override
    {
        return ControlObject::GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS *pDispParams,
                                     VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *puArgErr) override
    {
        return ControlObject::Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo,
                                     puArgErr);
    }

protected:
    DualControlObject(const ClassInfo &cls, QWidget *widget)
        : ControlObject(cls, widget), m_dualIid(cls.defaultInterface->iid)
    {
    }

private:
    IID m_dualIid;
};

} // namespace platform::com
