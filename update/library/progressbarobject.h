#pragma once

#include "platform/com/dualcontrolobject.h"
#include "update/library/qvwebupdate.h"

class qvProgressBar;

namespace qvWebUpdate {

// The progress bar as a component: _qvProgressBar by DISPID over a
// qvProgressBar, its settings restored and saved through the host's bag,
// and the container's ambient UserMode read through the site whenever the
// bar is given a site and whenever it is shown.
class ProgressBarObject : public platform::com::DualControlObject<_qvProgressBar> {
public:
    // A new object handing out interface riid.
    static platform::com::HRESULT create(const platform::com::IID &riid, void **ppv);

    HRESULT get_ReverseGradient(VARIANT_BOOL *value) override;
    HRESULT put_ReverseGradient(VARIANT_BOOL *value) override;
    HRESULT get_Horizontal(VARIANT_BOOL *value) override;
    HRESULT put_Horizontal(VARIANT_BOOL *value) override;
    HRESULT get_Alignment(LONG *value) override;
    HRESULT put_Alignment(LONG *value) override;
    HRESULT get_GradientColour(LONG *value) override;
    HRESULT put_GradientColour(LONG *value) override;
    HRESULT get_MarginSize(SHORT *value) override;
    HRESULT put_MarginSize(SHORT *value) override;
    HRESULT get_BorderStyle(LONG *value) override;
    HRESULT put_BorderStyle(LONG *value) override;
    HRESULT get_BackColour(OLE_COLOR *value) override;
    HRESULT put_BackColour(OLE_COLOR *value) override;
    HRESULT get_FontColour(OLE_COLOR *value) override;
    HRESULT put_FontColour(OLE_COLOR *value) override;
    HRESULT get_BarColour(OLE_COLOR *value) override;
    HRESULT put_BarColour(OLE_COLOR *value) override;
    HRESULT get_Max(LONG *value) override;
    HRESULT put_Max(LONG *value) override;
    HRESULT get_Min(LONG *value) override;
    HRESULT put_Min(LONG *value) override;
    HRESULT get_Value(LONG *value) override;
    HRESULT put_Value(LONG *value) override;
    HRESULT get_DotWidth(LONG *value) override;
    HRESULT put_DotWidth(LONG *value) override;
    HRESULT get_GapWidth(LONG *value) override;
    HRESULT put_GapWidth(LONG *value) override;
    HRESULT get_CaptionType(LONG *value) override;
    HRESULT put_CaptionType(LONG *value) override;
    HRESULT put_Caption(BSTR *value) override;

private:
    ProgressBarObject();

    void readProperties(const platform::PropertyBag &bag) override;
    void writeProperties(platform::PropertyBag &bag) override;
    void siteChanged() override;
    qvProgressBar *bar() const;
};

} // namespace qvWebUpdate
