#include "platform/com/host/hostedcontrol.h"

#include "platform/com/core/automation.h"
#include "platform/com/host/controlsite.h"
#include "platform/com/host/creation.h"
#include "platform/com/runtime/registry.h"
#include "platform/core/runtimeerror.h"

namespace platform::com {

HostedControl::~HostedControl()
{
    if (m_control)
        m_control->SetSite(nullptr);
}

HostedControl HostedControl::create(const QString &progId, QWidget *parent, bool userMode,
                                    platform::PropertyStore *settings)
{
    HostedControl hosted;
    hosted.createObject(progId);
    hosted.m_control = hosted.m_object.as<IControl>(IID_IControl);
    if (!hosted.m_dispatch || !hosted.m_control)
        throw platform::RuntimeError(platform::ErrNoAutomation, progId + QStringLiteral(" is not a control"));

    const auto site = ComPtr<ControlSite>::adopt(ControlSite::create(parent, userMode));
    const HRESULT h = hosted.m_control->SetSite(site.get());
    if (FAILED(h))
        throw platform::RuntimeError(platform::ErrAutomation, hresultMessage(h));
    hosted.restore(progId, settings);

    QWidget *widget = nullptr;
    hosted.m_control->GetWidget(&widget);
    hosted.m_widget = widget;
    return hosted;
}

QPixmap HostedControl::grab() const
{
    return m_widget->grab();
}

std::optional<IID> HostedControl::sourceInterface() const
{
    return Registry::sourceInterfaceOfClass(m_clsid);
}

} // namespace platform::com
