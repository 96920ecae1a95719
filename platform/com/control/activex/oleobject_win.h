#pragma once

#include "platform/com/control/activex/innerinterface_win.h"
#include "platform/com/core/comptr.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace platform::com {

class InPlaceObject;

// IOleObject: the container's client site, the verbs that place the control
// in its window (through InPlaceObject), Close, the extent in HIMETRIC and
// what the registry says of the class (MiscStatus, user type, verbs).
// siteChanged runs whenever the client site is given or taken back, so the
// control reads its ambient properties again.
class OleObject : public InnerInterface<IOleObject> {
public:
    OleObject(IUnknown &outer, const CLSID &clsid, QWidget *widget, InPlaceObject &inPlace,
              std::function<void()> siteChanged);

    IOleClientSite *clientSite() const { return m_site.get(); }

    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite *pClientSite) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite **ppClientSite) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD dwWhichMoniker, IMoniker *pmk) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker **ppmk) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject *pDataObject, BOOL fCreation, DWORD dwReserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD dwReserved, IDataObject **ppDataObject) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite *pActiveSite, LONG lindex,
                                     HWND hwndParent, LPCRECT lprcPosRect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB **ppEnumOleVerb) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID *pClsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD dwFormOfType, LPOLESTR *pszUserType) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD dwDrawAspect, SIZEL *psizel) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, SIZEL *psizel) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink *pAdvSink, DWORD *pdwConnection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA **ppenumAdvise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD dwAspect, DWORD *pdwStatus) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE *pLogpal) override;

private:
    // The sinks' holder, made on first use.
    HRESULT adviseHolder();

    const CLSID m_clsid;
    QPointer<QWidget> m_widget;
    InPlaceObject &m_inPlace;
    std::function<void()> m_siteChanged;
    ComPtr<IOleClientSite> m_site;
    ComPtr<IOleAdviseHolder> m_advise;
};

} // namespace platform::com
