#include "platform/com/host/clientsite.h"

#include "platform/com/host/controlsite.h"

#include <QEvent>

namespace platform::com {

ClientSite *ClientSite::create(QWidget *window, bool userMode)
{
    return new ClientSite(window, userMode);
}

ClientSite::ClientSite(QWidget *window, bool userMode)
    : m_window(window), m_userMode(userMode)
{
    window->installEventFilter(this);
}

void ClientSite::setInPlaceObject(IOleInPlaceObject *object)
{
    m_inPlaceObject = ComPtr<IOleInPlaceObject>(object);
    placeObject();
}

RECT ClientSite::clientRect() const
{
    if (!m_window)
        return RECT{};
    const qreal ratio = m_window->devicePixelRatioF();
    return RECT{0, 0, LONG(m_window->width() * ratio), LONG(m_window->height() * ratio)};
}

void ClientSite::placeObject()
{
    if (!m_inPlaceObject)
        return;
    const RECT rect = clientRect();
    m_inPlaceObject->SetObjectRects(&rect, &rect);
}

bool ClientSite::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Resize)
        placeObject();
    return false;
}

HRESULT STDMETHODCALLTYPE ClientSite::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        return handOut(static_cast<IOleClientSite *>(this), ppvObject);
    if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite || riid == IID_IOleInPlaceSiteEx)
        return handOut(static_cast<IOleInPlaceSiteEx *>(this), ppvObject);
    if (riid == IID_IDispatch)
        return handOut(static_cast<IDispatch *>(this), ppvObject);
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

// The control is kept by its host, which saves it when it wants to: the
// site has no document, no moniker and no container to offer.
HRESULT STDMETHODCALLTYPE ClientSite::SaveObject()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::GetMoniker(DWORD, DWORD, IMoniker **ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ClientSite::GetContainer(IOleContainer **ppContainer)
{
    if (!ppContainer)
        return E_POINTER;
    *ppContainer = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ClientSite::ShowObject()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::OnShowWindow(BOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ClientSite::GetWindow(HWND *phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_window ? reinterpret_cast<HWND>(m_window->winId()) : nullptr;
    return *phwnd ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE ClientSite::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ClientSite::CanInPlaceActivate()
{
    return m_window ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ClientSite::OnInPlaceActivate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::OnUIActivate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::GetWindowContext(IOleInPlaceFrame **ppFrame, IOleInPlaceUIWindow **ppDoc,
                                                       LPRECT lprcPosRect, LPRECT lprcClipRect,
                                                       LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect)
        return E_POINTER;
    *ppFrame = nullptr;
    *ppDoc = nullptr;
    *lprcPosRect = clientRect();
    *lprcClipRect = *lprcPosRect;
    if (lpFrameInfo) {
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = m_window ? reinterpret_cast<HWND>(m_window->window()->winId()) : nullptr;
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::Scroll(SIZE)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ClientSite::OnUIDeactivate(BOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::OnInPlaceDeactivate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::DiscardUndoState()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::DeactivateAndUndo()
{
    return S_OK;
}

// The control stays where its host's window puts it.
HRESULT STDMETHODCALLTYPE ClientSite::OnPosRectChange(LPCRECT)
{
    placeObject();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::OnInPlaceActivateEx(BOOL *pfNoRedraw, DWORD)
{
    if (pfNoRedraw)
        *pfNoRedraw = FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::OnInPlaceDeactivateEx(BOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::RequestUIActivate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClientSite::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS *pDispParams,
                                             VARIANT *pVarResult, EXCEPINFO *, UINT *)
{
    return invokeAmbientProperty(m_userMode, dispIdMember, wFlags, pDispParams, pVarResult);
}

} // namespace platform::com
