// A control object where the runtime is this one: with no type information,
// the dispatcher looks names up; the site is the runtime's own IControlSite.

#include "platform/com/control/controlobject.h"

namespace platform::com {

HRESULT STDMETHODCALLTYPE ControlObject::GetIDsOfNames(REFIID riid, LPOLESTR *rgszNames, UINT cNames, LCID lcid,
                                                       DISPID *rgDispId)
{
    return m_dispatcher->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
}

HRESULT ControlObject::platformInterface(REFIID, void **ppvObject)
{
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ComPtr<IDispatch> ControlObject::ambientProperties() const
{
    return m_site.template as<IDispatch>(IID_IDispatch);
}

} // namespace platform::com
