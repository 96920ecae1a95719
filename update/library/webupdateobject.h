#pragma once

#include "platform/com/controlobject.h"

class ctlWebUpdate;

namespace qvWebUpdate {

// The update control as a component: _ctlWebUpdate by DISPID over a
// ctlWebUpdate, its StatusChange raised to the sinks of __ctlWebUpdate with
// Message by reference (a sink's replacement is what the control goes on
// with), and its settings restored and saved through the host's bag.
class WebUpdateObject : public platform::com::ControlObject {
public:
    // A new object handing out interface riid.
    static platform::com::HRESULT create(const platform::com::IID &riid, void **ppv);

private:
    WebUpdateObject();

    void readProperties(const platform::PropertyBag &bag) override;
    void writeProperties(platform::PropertyBag &bag) override;
    void raiseStatusChange(QString &message);
    ctlWebUpdate *control() const;
};

} // namespace qvWebUpdate
