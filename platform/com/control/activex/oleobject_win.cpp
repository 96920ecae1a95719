#include "platform/com/control/activex/oleobject_win.h"

#include "platform/com/core/extent.h"
#include "platform/com/control/activex/inplaceobject_win.h"
#include "platform/com/control/activex/viewobject_win.h"

namespace platform::com {

OleObject::OleObject(IUnknown &outer, const CLSID &clsid, QWidget *widget, InPlaceObject &inPlace,
                     std::function<void()> siteChanged)
    : InnerInterface(outer)
    , m_clsid(clsid)
    , m_widget(widget)
    , m_inPlace(inPlace)
    , m_siteChanged(std::move(siteChanged))
{
}

HRESULT STDMETHODCALLTYPE OleObject::SetClientSite(IOleClientSite *pClientSite)
{
    m_site = ComPtr<IOleClientSite>(pClientSite);
    m_siteChanged();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::GetClientSite(IOleClientSite **ppClientSite)
{
    if (!ppClientSite)
        return E_POINTER;
    *ppClientSite = ComPtr<IOleClientSite>(m_site).detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return S_OK;
}

// The control keeps no unsaved document of its own: the container saves
// its settings when it wants them, so every save option closes alike.
HRESULT STDMETHODCALLTYPE OleObject::Close(DWORD)
{
    m_inPlace.close();
    if (m_advise)
        m_advise->SendOnClose();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::SetMoniker(DWORD, IMoniker *)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject::GetMoniker(DWORD, DWORD, IMoniker **ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject::InitFromData(IDataObject *, BOOL, DWORD)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject::GetClipboardData(DWORD, IDataObject **ppDataObject)
{
    if (ppDataObject)
        *ppDataObject = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject::DoVerb(LONG iVerb, LPMSG, IOleClientSite *pActiveSite, LONG, HWND, LPCRECT)
{
    IOleClientSite *site = pActiveSite ? pActiveSite : m_site.get();
    switch (iVerb) {
    case OLEIVERB_INPLACEACTIVATE:
        return m_inPlace.activate(site, false);
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
        return m_inPlace.activate(site, true);
    case OLEIVERB_HIDE:
        return m_inPlace.InPlaceDeactivate();
    case OLEIVERB_DISCARDUNDOSTATE:
        return S_OK;
    default:
        // A verb of our own would be positive; there are none.
        return iVerb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

// EnumVerbs, GetUserType and GetMiscStatus check their out parameter
// themselves: the registry's readers they call don't all do.
HRESULT STDMETHODCALLTYPE OleObject::EnumVerbs(IEnumOLEVERB **ppEnumOleVerb)
{
    if (!ppEnumOleVerb)
        return E_POINTER;
    return OleRegEnumVerbs(m_clsid, ppEnumOleVerb);
}

HRESULT STDMETHODCALLTYPE OleObject::Update()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::IsUpToDate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::GetUserClassID(CLSID *pClsid)
{
    if (!pClsid)
        return E_POINTER;
    *pClsid = m_clsid;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::GetUserType(DWORD dwFormOfType, LPOLESTR *pszUserType)
{
    if (!pszUserType)
        return E_POINTER;
    return OleRegGetUserType(m_clsid, dwFormOfType, pszUserType);
}

HRESULT STDMETHODCALLTYPE OleObject::SetExtent(DWORD dwDrawAspect, SIZEL *psizel)
{
    const HRESULT h = checkContentExtent(m_widget, dwDrawAspect, psizel);
    if (FAILED(h))
        return h;
    m_widget->resize(himetricToPixels(psizel->cx), himetricToPixels(psizel->cy));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::GetExtent(DWORD dwDrawAspect, SIZEL *psizel)
{
    return contentExtent(m_widget, dwDrawAspect, psizel);
}

HRESULT OleObject::adviseHolder()
{
    return m_advise ? S_OK : CreateOleAdviseHolder(m_advise.put());
}

HRESULT STDMETHODCALLTYPE OleObject::Advise(IAdviseSink *pAdvSink, DWORD *pdwConnection)
{
    if (!pdwConnection)
        return E_POINTER;
    *pdwConnection = 0;
    if (!pAdvSink)
        return E_INVALIDARG;
    const HRESULT h = adviseHolder();
    return FAILED(h) ? h : m_advise->Advise(pAdvSink, pdwConnection);
}

HRESULT STDMETHODCALLTYPE OleObject::Unadvise(DWORD dwConnection)
{
    return m_advise ? m_advise->Unadvise(dwConnection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE OleObject::EnumAdvise(IEnumSTATDATA **ppenumAdvise)
{
    if (!ppenumAdvise)
        return E_POINTER;
    *ppenumAdvise = nullptr;
    const HRESULT h = adviseHolder();
    return FAILED(h) ? h : m_advise->EnumAdvise(ppenumAdvise);
}

HRESULT STDMETHODCALLTYPE OleObject::GetMiscStatus(DWORD dwAspect, DWORD *pdwStatus)
{
    if (!pdwStatus)
        return E_POINTER;
    return OleRegGetMiscStatus(m_clsid, dwAspect, pdwStatus);
}

HRESULT STDMETHODCALLTYPE OleObject::SetColorScheme(LOGPALETTE *)
{
    return E_NOTIMPL;
}

} // namespace platform::com
