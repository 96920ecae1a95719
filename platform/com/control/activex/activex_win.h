#pragma once

#include "platform/com/control/activex/inplaceobject_win.h"
#include "platform/com/control/activex/olecontrol_win.h"
#include "platform/com/control/activex/oleobject_win.h"
#include "platform/com/control/activex/persiststream_win.h"
#include "platform/com/control/activex/viewobject_win.h"

namespace platform::com {

class ControlObject;

// What makes a control object an ActiveX control that standard containers
// (ATL's, a form, a browser) place in their windows: the OLE interfaces,
// each a part of the control object that shares its identity. ambientChanged
// runs when the container gives a client site or says an ambient property
// changed.
class ActiveX {
public:
    ActiveX(ControlObject &control, QWidget *widget, std::function<void()> ambientChanged);

    // One of the OLE interfaces, with a reference; E_NOINTERFACE for others.
    HRESULT queryInterface(REFIID riid, void **ppvObject);
    // The container's site, whose IDispatch answers the ambient properties.
    IOleClientSite *clientSite() const { return m_oleObject.clientSite(); }

private:
    InPlaceObject m_inPlace;
    OleObject m_oleObject;
    OleControl m_oleControl;
    ViewObject m_view;
    PersistStream m_stream;
};

} // namespace platform::com
