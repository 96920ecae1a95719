#include "platform/com/control/activex/activex_win.h"

#include "platform/com/control/controlobject.h"

namespace platform::com {

namespace {

IUnknown &identityOf(ControlObject &control)
{
    return *static_cast<IDispatch *>(&control);
}

CLSID classOf(ControlObject &control)
{
    CLSID clsid = CLSID_NULL;
    control.GetClassID(&clsid);
    return clsid;
}

} // namespace

ActiveX::ActiveX(ControlObject &control, QWidget *widget, std::function<void()> ambientChanged)
    : m_inPlace(identityOf(control), widget)
    , m_oleObject(identityOf(control), classOf(control), widget, m_inPlace, ambientChanged)
    , m_oleControl(identityOf(control), ambientChanged)
    , m_view(identityOf(control), widget)
    , m_stream(identityOf(control), control)
{
}

HRESULT ActiveX::queryInterface(REFIID riid, void **ppvObject)
{
    IUnknown *part = nullptr;
    if (riid == IID_IOleObject)
        part = static_cast<IOleObject *>(&m_oleObject);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
        part = static_cast<IOleInPlaceObject *>(&m_inPlace);
    else if (riid == IID_IOleInPlaceActiveObject)
        part = static_cast<IOleInPlaceActiveObject *>(&m_inPlace);
    else if (riid == IID_IOleControl)
        part = static_cast<IOleControl *>(&m_oleControl);
    else if (riid == IID_IViewObject || riid == IID_IViewObject2)
        part = static_cast<IViewObject2 *>(&m_view);
    else if (riid == IID_IPersistStreamInit)
        part = static_cast<IPersistStreamInit *>(&m_stream);
    *ppvObject = part;
    if (!part)
        return E_NOINTERFACE;
    part->AddRef();
    return S_OK;
}

} // namespace platform::com
