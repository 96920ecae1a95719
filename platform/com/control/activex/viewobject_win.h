#pragma once

#include "platform/com/control/activex/innerinterface_win.h"
#include "platform/com/core/comptr.h"

#include <QPointer>
#include <QWidget>

namespace platform::com {

// What IOleObject and IViewObject2 answer for a size asked or given for an
// aspect: S_OK for the content's size of a widget that is there.
HRESULT checkContentExtent(const QWidget *widget, DWORD drawAspect, const SIZEL *size);
// The widget's size in HIMETRIC, as IOleObject and IViewObject2 give it.
HRESULT contentExtent(const QWidget *widget, DWORD drawAspect, SIZEL *size);

// IViewObject2: the control drawn into a container's device context (for
// printing, a form designer, a picture of an inactive control) as its
// widget shows itself, stretched to the bounds asked for; and its extent.
class ViewObject : public InnerInterface<IViewObject2> {
public:
    ViewObject(IUnknown &outer, QWidget *widget) : InnerInterface(outer), m_widget(widget) {}

    HRESULT STDMETHODCALLTYPE Draw(DWORD dwDrawAspect, LONG lindex, void *pvAspect, DVTARGETDEVICE *ptd,
                                   HDC hdcTargetDev, HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds,
                                   BOOL(STDMETHODCALLTYPE *pfnContinue)(ULONG_PTR dwContinue),
                                   ULONG_PTR dwContinue) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD dwDrawAspect, LONG lindex, void *pvAspect, DVTARGETDEVICE *ptd,
                                          HDC hicTargetDev, LOGPALETTE **ppColorSet) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD dwDrawAspect, LONG lindex, void *pvAspect, DWORD *pdwFreeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD dwFreeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD advf, IAdviseSink *pAdvSink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD *pAspects, DWORD *pAdvf, IAdviseSink **ppAdvSink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, LONG lindex, DVTARGETDEVICE *ptd,
                                        LPSIZEL lpsizel) override;

private:
    QPointer<QWidget> m_widget;
    DWORD m_adviseAspects = 0;
    DWORD m_adviseFlags = 0;
    ComPtr<IAdviseSink> m_adviseSink;
};

} // namespace platform::com
