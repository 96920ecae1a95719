#pragma once

#include "platform/com/control/activex/childwindow_win.h"
#include "platform/com/control/activex/innerinterface_win.h"
#include "platform/com/core/comptr.h"

namespace platform::com {

// A control in place in a container's window: IOleInPlaceObject, for the
// container to place and deactivate it, and IOleInPlaceActiveObject, which
// the container's frame holds while the control is UI-active. The widget
// lives in a ChildWindow of the window the in-place site names.
class InPlaceObject : public InnerInterface<IOleInPlaceObject, IOleInPlaceActiveObject> {
public:
    InPlaceObject(IUnknown &outer, QWidget *widget) : InnerInterface(outer), m_window(widget) {}

    // Activates the control in place through the client site's
    // IOleInPlaceSite, as IOleObject::DoVerb asks; with uiActivate also
    // makes it UI-active.
    HRESULT activate(IOleClientSite *clientSite, bool uiActivate);
    // Deactivates the control and destroys its window (IOleObject::Close).
    void close();

    HRESULT STDMETHODCALLTYPE GetWindow(HWND *phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;

    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL fActivate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL fActivate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow *pUIWindow,
                                           BOOL fFrameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) override;

private:
    HRESULT enterInPlace(IOleClientSite *clientSite);
    void enterUserInterface();

    ChildWindow m_window;
    ComPtr<IOleInPlaceSite> m_site;
    ComPtr<IOleInPlaceFrame> m_frame;
    ComPtr<IOleInPlaceUIWindow> m_document;
    bool m_uiActive = false;
};

} // namespace platform::com
