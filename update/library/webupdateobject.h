#pragma once

#include "platform/com/control/dualcontrolobject.h"
#include "update/published/qvwebupdate.h"

class ctlWebUpdate;

namespace qvWebUpdate {

// The update control as a component: _ctlWebUpdate by DISPID over a
// ctlWebUpdate, its StatusChange raised to the sinks of __ctlWebUpdate with
// Message by reference (a sink's replacement is what the control goes on
// with; a sink's error is raised where the control reported the status),
// and its settings restored and saved through the host's bag.
class WebUpdateObject : public platform::com::DualControlObject<_ctlWebUpdate> {
public:
    // A new object handing out interface riid.
    static platform::com::HRESULT create(const platform::com::IID &riid, void **ppv);

    HRESULT STDMETHODCALLTYPE get_DownloadLocation(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE put_DownloadLocation(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_DownloadFile(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE put_DownloadFile(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_DownloadVersionFile(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE put_DownloadVersionFile(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_CurrentVersion(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE put_CurrentVersion(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_ConfirmDownload(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_ConfirmDownload(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE get_AutoRun(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_AutoRun(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE get_LogFilename(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE put_LogFilename(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE RunUpdate() override;
    HRESULT STDMETHODCALLTYPE CancelDownload() override;

private:
    WebUpdateObject();

    void readProperties(const platform::PropertyBag &bag) override;
    void writeProperties(platform::PropertyBag &bag) override;
    void raiseStatusChange(QString &message);
    ctlWebUpdate *control() const;
};

} // namespace qvWebUpdate
