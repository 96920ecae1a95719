// A control object on Windows: type information from the type library
// embedded in the module, so that late-bound clients (VBScript, JScript,
// PowerShell) find members by name and scripting hosts find the events; the
// OLE interfaces of an ActiveX control; ambient properties from the
// container's client site.

#include "platform/com/control/controlobject.h"

#include "platform/com/typelib/moduletypelib.h"

namespace platform::com {

HRESULT STDMETHODCALLTYPE ControlObject::GetTypeInfoCount(UINT *pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    ComPtr<ITypeInfo> info;
    *pctinfo = SUCCEEDED(moduleTypeInfo(m_class.defaultInterface->iid, info.put())) ? 1 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo **ppTInfo)
{
    if (!ppTInfo)
        return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0)
        return DISP_E_BADINDEX;
    return moduleTypeInfo(m_class.defaultInterface->iid, ppTInfo);
}

HRESULT STDMETHODCALLTYPE ControlObject::GetIDsOfNames(REFIID riid, LPOLESTR *rgszNames, UINT cNames, LCID,
                                                       DISPID *rgDispId)
{
    if (!(riid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> info;
    const HRESULT h = moduleTypeInfo(m_class.defaultInterface->iid, info.put());
    if (FAILED(h))
        return h;
    return DispGetIDsOfNames(info.get(), rgszNames, cNames, rgDispId);
}

HRESULT STDMETHODCALLTYPE ControlObject::GetClassInfo(ITypeInfo **ppTI)
{
    if (!ppTI)
        return E_POINTER;
    *ppTI = nullptr;
    return moduleTypeInfo(m_class.clsid, ppTI);
}

HRESULT STDMETHODCALLTYPE ControlObject::GetGUID(DWORD dwGuidKind, GUID *pGUID)
{
    if (!pGUID)
        return E_POINTER;
    *pGUID = GUID_NULL;
    if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID || !m_class.sourceInterface)
        return E_INVALIDARG;
    *pGUID = m_class.sourceInterface->iid;
    return S_OK;
}

HRESULT ControlObject::platformInterface(REFIID riid, void **ppvObject)
{
    return m_activeX.queryInterface(riid, ppvObject);
}

// A standard container's client site; this runtime's own site where a host
// placed the control through IControl.
ComPtr<IDispatch> ControlObject::ambientProperties() const
{
    if (IOleClientSite *site = m_activeX.clientSite())
        return ComPtr<IOleClientSite>(site).template as<IDispatch>(IID_IDispatch);
    return m_site.template as<IDispatch>(IID_IDispatch);
}

} // namespace platform::com
