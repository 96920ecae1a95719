#pragma once

// Windows only: the site of an ActiveX control in a Qt container.

#include "platform/com/core/comptr.h"
#include "platform/com/core/dispatchimpl.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace platform::com {

// A standard container's site for one control: the control's client site,
// its in-place site in the container's native window, and the ambient
// properties through IDispatch (UserMode, as a Boolean). The window is a
// child of the container's parent widget; when it is resized, the control
// is sized with it (IOleInPlaceObject::SetObjectRects). The frame and the
// document window are not offered: the control's own menus and tools have
// nowhere to go.
class ClientSite : public QObject, public DispatchImpl<IOleClientSite, IOleInPlaceSiteEx, IDispatch> {
public:
    // A new site with one reference, owned by the caller, in window.
    static ClientSite *create(QWidget *window, bool userMode);

    // The control activated in place in the site's window, sized with it
    // from now on; null ends that (before the control is closed).
    void setInPlaceObject(IOleInPlaceObject *object);
    // The window's client area, in device pixels.
    RECT clientRect() const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override;

    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker **ppmk) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer **ppContainer) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL fShow) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

    HRESULT STDMETHODCALLTYPE GetWindow(HWND *phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame **ppFrame, IOleInPlaceUIWindow **ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE scrollExtant) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL fUndoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT lprcPosRect) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL *pfNoRedraw, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL fNoRedraw) override;
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override;

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS *pDispParams,
                                     VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *puArgErr) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ClientSite(QWidget *window, bool userMode);
    void placeObject();

    QPointer<QWidget> m_window;
    bool m_userMode;
    ComPtr<IOleInPlaceObject> m_inPlaceObject;
};

} // namespace platform::com
