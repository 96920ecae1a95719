#pragma once

#include "platform/com/controlobject.h"

class qvProgressBar;

namespace qvWebUpdate {

// The progress bar as a component: _qvProgressBar by DISPID over a
// qvProgressBar, its settings restored and saved through the host's bag,
// and the container's ambient UserMode read through the site whenever the
// bar is given a site and whenever it is shown.
class ProgressBarObject : public platform::com::ControlObject {
public:
    // A new object handing out interface riid.
    static platform::com::HRESULT create(const platform::com::IID &riid, void **ppv);

private:
    ProgressBarObject();

    void readProperties(const platform::PropertyBag &bag) override;
    void writeProperties(platform::PropertyBag &bag) override;
    void siteChanged() override;
    qvProgressBar *bar() const;
};

} // namespace qvWebUpdate
