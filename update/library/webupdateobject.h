#pragma once

#include "platform/com/dualcontrolobject.h"
#include "update/library/qvwebupdate.h"

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

    HRESULT get_DownloadLocation(BSTR *value) override;
    HRESULT put_DownloadLocation(BSTR *value) override;
    HRESULT get_DownloadFile(BSTR *value) override;
    HRESULT put_DownloadFile(BSTR *value) override;
    HRESULT get_DownloadVersionFile(BSTR *value) override;
    HRESULT put_DownloadVersionFile(BSTR *value) override;
    HRESULT get_CurrentVersion(BSTR *value) override;
    HRESULT put_CurrentVersion(BSTR *value) override;
    HRESULT get_ConfirmDownload(VARIANT_BOOL *value) override;
    HRESULT put_ConfirmDownload(VARIANT_BOOL *value) override;
    HRESULT get_AutoRun(VARIANT_BOOL *value) override;
    HRESULT put_AutoRun(VARIANT_BOOL *value) override;
    HRESULT get_LogFilename(BSTR *value) override;
    HRESULT put_LogFilename(BSTR *value) override;
    HRESULT RunUpdate() override;
    HRESULT CancelDownload() override;

private:
    WebUpdateObject();

    void readProperties(const platform::PropertyBag &bag) override;
    void writeProperties(platform::PropertyBag &bag) override;
    void raiseStatusChange(QString &message);
    ctlWebUpdate *control() const;
};

} // namespace qvWebUpdate
