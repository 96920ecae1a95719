#pragma once

#include "platform/com/control/dualcontrolobject.h"
#include "update/published/qvwebupdate.h"

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

    HRESULT STDMETHODCALLTYPE get_ReverseGradient(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_ReverseGradient(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE get_Horizontal(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_Horizontal(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE get_Alignment(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Alignment(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_GradientColour(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_GradientColour(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_MarginSize(SHORT *value) override;
    HRESULT STDMETHODCALLTYPE put_MarginSize(SHORT *value) override;
    HRESULT STDMETHODCALLTYPE get_BorderStyle(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_BorderStyle(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_BackColour(OleColour *value) override;
    HRESULT STDMETHODCALLTYPE put_BackColour(OleColour *value) override;
    HRESULT STDMETHODCALLTYPE get_FontColour(OleColour *value) override;
    HRESULT STDMETHODCALLTYPE put_FontColour(OleColour *value) override;
    HRESULT STDMETHODCALLTYPE get_BarColour(OleColour *value) override;
    HRESULT STDMETHODCALLTYPE put_BarColour(OleColour *value) override;
    HRESULT STDMETHODCALLTYPE get_Max(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Max(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_Min(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Min(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_Value(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Value(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_DotWidth(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_DotWidth(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_GapWidth(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_GapWidth(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_CaptionType(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_CaptionType(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Caption(BSTR *value) override;

private:
    ProgressBarObject();

    void readProperties(const platform::PropertyBag &bag) override;
    void writeProperties(platform::PropertyBag &bag) override;
    void siteChanged() override;
    qvProgressBar *bar() const;
};

} // namespace qvWebUpdate
