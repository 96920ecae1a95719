#include "platform/com/control/activex/inplaceobject_win.h"

namespace platform::com {

HRESULT InPlaceObject::activate(IOleClientSite *clientSite, bool uiActivate)
{
    if (!m_site) {
        const HRESULT h = enterInPlace(clientSite);
        if (FAILED(h))
            return h;
    }
    if (uiActivate && !m_uiActive)
        enterUserInterface();
    return S_OK;
}

// The container's order: may we, we are, where, then show.
HRESULT InPlaceObject::enterInPlace(IOleClientSite *clientSite)
{
    if (!clientSite)
        return E_UNEXPECTED;
    ComPtr<IOleInPlaceSite> site;
    clientSite->QueryInterface(IID_IOleInPlaceSite, site.putVoid());
    if (!site)
        return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    HWND parent = nullptr;
    if (FAILED(site->GetWindow(&parent)) || !parent)
        return E_FAIL;
    site->OnInPlaceActivate();
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(site->GetWindowContext(m_frame.put(), m_document.put(), &position, &clip, &frameInfo))) {
        // Whatever a failing site handed out anyway is not kept.
        m_frame.reset();
        m_document.reset();
        site->OnInPlaceDeactivate();
        return E_FAIL;
    }
    m_site = site;
    m_window.open(parent);
    m_window.place(position, clip);
    m_window.show();
    clientSite->ShowObject();
    return S_OK;
}

void InPlaceObject::enterUserInterface()
{
    m_uiActive = true;
    m_site->OnUIActivate();
    IOleInPlaceActiveObject *active = this;
    if (m_frame)
        m_frame->SetActiveObject(active, nullptr);
    if (m_document)
        m_document->SetActiveObject(active, nullptr);
    m_window.focus();
}

void InPlaceObject::close()
{
    InPlaceDeactivate();
    m_window.close();
}

HRESULT STDMETHODCALLTYPE InPlaceObject::GetWindow(HWND *phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_window.handle();
    return *phwnd ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::InPlaceDeactivate()
{
    if (!m_site)
        return S_OK;
    UIDeactivate();
    // A container may deactivate the control fully while it hears of the UI
    // deactivation; then there is nothing left to do.
    if (!m_site)
        return S_OK;
    m_window.hide();
    const ComPtr<IOleInPlaceSite> site = std::move(m_site);
    m_frame.reset();
    m_document.reset();
    site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::UIDeactivate()
{
    if (!m_uiActive)
        return S_OK;
    m_uiActive = false;
    if (m_frame)
        m_frame->SetActiveObject(nullptr, nullptr);
    if (m_document)
        m_document->SetActiveObject(nullptr, nullptr);
    m_site->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect)
{
    if (!lprcPosRect)
        return E_POINTER;
    if (!m_window.isOpen())
        return E_UNEXPECTED;
    m_window.place(*lprcPosRect, lprcClipRect ? *lprcClipRect : *lprcPosRect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::ReactivateAndUndo()
{
    return INPLACE_E_NOTUNDOABLE;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::TranslateAccelerator(LPMSG)
{
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow *, BOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObject::EnableModeless(BOOL)
{
    return S_OK;
}

} // namespace platform::com
