#include "platform/com/host/hostedcontrol.h"

#include "platform/com/core/automation.h"
#include "platform/com/core/persistinterfaces.h"
#include "platform/com/host/controlsite.h"
#include "platform/com/host/creation.h"
#include "platform/com/host/hostpropertybag.h"
#include "platform/com/server/registry.h"
#include "platform/runtimeerror.h"

namespace platform::com {

namespace {

// A failed restore or save carries the control's run-time error number.
platform::RuntimeError persistError(HRESULT h)
{
    if (const std::optional<int> number = errorNumberFromHresult(h))
        return platform::RuntimeError(*number);
    return platform::RuntimeError(platform::ErrAutomation, hresultMessage(h));
}

} // namespace

HostedControl::~HostedControl()
{
    if (m_control)
        m_control->SetSite(nullptr);
}

HostedControl HostedControl::create(const QString &progId, QWidget *parent, bool userMode,
                                    platform::PropertyStore *settings)
{
    HostedControl hosted;
    QString why;
    const HRESULT created = createInstanceByProgId(progId, IID_IUnknown, hosted.m_object.putVoid(), &why);
    if (FAILED(created))
        throw platform::RuntimeError(platform::ErrCantCreateObject, why);
    CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(progId.utf16()), &hosted.m_clsid);
    hosted.m_dispatch = hosted.m_object.as<IDispatch>(IID_IDispatch);
    hosted.m_control = hosted.m_object.as<IControl>(IID_IControl);
    if (!hosted.m_dispatch || !hosted.m_control)
        throw platform::RuntimeError(platform::ErrNoAutomation, progId + QStringLiteral(" is not a control"));

    const auto site = ComPtr<ControlSite>::adopt(ControlSite::create(parent, userMode));
    HRESULT h = hosted.m_control->SetSite(site.get());
    if (FAILED(h))
        throw platform::RuntimeError(platform::ErrAutomation, hresultMessage(h));

    const auto persist = hosted.m_object.as<IPersistPropertyBag>(IID_IPersistPropertyBag);
    if (!persist)
        throw platform::RuntimeError(platform::ErrNoAutomation, progId + QStringLiteral(" can't be restored from a property bag"));
    if (settings) {
        const auto bag = ComPtr<HostPropertyBag>::adopt(HostPropertyBag::create(*settings));
        h = persist->Load(bag.get(), nullptr);
    } else {
        h = persist->InitNew();
    }
    if (FAILED(h))
        throw persistError(h);

    QWidget *widget = nullptr;
    hosted.m_control->GetWidget(&widget);
    hosted.m_widget = widget;
    return hosted;
}

EventSink *HostedControl::adviseEvents(EventSink::Handler handler) const
{
    const std::optional<IID> source = Registry::sourceInterfaceOfClass(m_clsid);
    if (!source)
        return nullptr;
    auto sink = ComPtr<EventSink>::adopt(EventSink::create(*source, std::move(handler)));
    if (FAILED(sink->connect(m_object.get())))
        return nullptr;
    return sink.detach();
}

PropertyNotifySink *HostedControl::advisePropertyChanges(PropertyNotifySink::Handler handler) const
{
    auto sink = ComPtr<PropertyNotifySink>::adopt(PropertyNotifySink::create(std::move(handler)));
    if (FAILED(sink->connect(m_object.get())))
        return nullptr;
    return sink.detach();
}

void HostedControl::save(platform::PropertyStore &store) const
{
    const auto persist = m_object.as<IPersistPropertyBag>(IID_IPersistPropertyBag);
    if (!persist)
        throw platform::RuntimeError(platform::ErrNoAutomation);
    const auto bag = ComPtr<HostPropertyBag>::adopt(HostPropertyBag::create(store));
    const HRESULT h = persist->Save(bag.get(), TRUE, TRUE);
    if (FAILED(h))
        throw persistError(h);
}

} // namespace platform::com
