#include "platform/com/control/activex/viewobject_win.h"

#include "platform/com/core/extent.h"

#include <QImage>

namespace platform::com {

HRESULT STDMETHODCALLTYPE ViewObject::Draw(DWORD dwDrawAspect, LONG, void *, DVTARGETDEVICE *, HDC, HDC hdcDraw,
                                           LPCRECTL lprcBounds, LPCRECTL,
                                           BOOL(STDMETHODCALLTYPE *)(ULONG_PTR), ULONG_PTR)
{
    if (dwDrawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!hdcDraw || !lprcBounds)
        return E_INVALIDARG;
    if (!m_widget)
        return CO_E_OBJNOTCONNECTED;
    if (m_widget->width() <= 0 || m_widget->height() <= 0)
        return S_OK;
    QImage picture(m_widget->size(), QImage::Format_RGB32);
    m_widget->render(&picture);
    const HBITMAP bitmap = picture.toHBITMAP();
    const HDC source = CreateCompatibleDC(hdcDraw);
    const HGDIOBJ previous = SelectObject(source, bitmap);
    const BOOL drawn = StretchBlt(hdcDraw, lprcBounds->left, lprcBounds->top, lprcBounds->right - lprcBounds->left,
                                  lprcBounds->bottom - lprcBounds->top, source, 0, 0, picture.width(),
                                  picture.height(), SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
    return drawn ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE ViewObject::GetColorSet(DWORD, LONG, void *, DVTARGETDEVICE *, HDC,
                                                  LOGPALETTE **ppColorSet)
{
    if (ppColorSet)
        *ppColorSet = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ViewObject::Freeze(DWORD, LONG, void *, DWORD *)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ViewObject::Unfreeze(DWORD)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ViewObject::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink *pAdvSink)
{
    m_adviseAspects = aspects;
    m_adviseFlags = advf;
    m_adviseSink = ComPtr<IAdviseSink>(pAdvSink);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObject::GetAdvise(DWORD *pAspects, DWORD *pAdvf, IAdviseSink **ppAdvSink)
{
    if (pAspects)
        *pAspects = m_adviseAspects;
    if (pAdvf)
        *pAdvf = m_adviseFlags;
    if (ppAdvSink)
        *ppAdvSink = ComPtr<IAdviseSink>(m_adviseSink).detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObject::GetExtent(DWORD dwDrawAspect, LONG, DVTARGETDEVICE *, LPSIZEL lpsizel)
{
    return contentExtent(m_widget, dwDrawAspect, lpsizel);
}

HRESULT checkContentExtent(const QWidget *widget, DWORD drawAspect, const SIZEL *size)
{
    if (drawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    return widget ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT contentExtent(const QWidget *widget, DWORD drawAspect, SIZEL *size)
{
    const HRESULT h = checkContentExtent(widget, drawAspect, size);
    if (FAILED(h))
        return h;
    size->cx = pixelsToHimetric(widget->width());
    size->cy = pixelsToHimetric(widget->height());
    return S_OK;
}

} // namespace platform::com
