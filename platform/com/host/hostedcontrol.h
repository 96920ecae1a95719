#pragma once

#include "platform/com/core/comptr.h"
#include "platform/com/core/controlinterfaces.h"
#include "platform/com/core/dispatch.h"
#include "platform/com/host/eventsink.h"
#include "platform/com/host/propertynotifysink.h"
#include "platform/propertystore.h"

#include <QPointer>
#include <QString>

class QWidget;

namespace platform::com {

// A control as its container holds it: created by ProgID through the class
// registry, given its site, restored from stored settings, and driven by
// DISPID through its IDispatch. The control lives as long as this object.
class HostedControl {
public:
    HostedControl() = default;
    HostedControl(HostedControl &&) = default;
    HostedControl &operator=(HostedControl &&) = default;
    ~HostedControl();

    // Creates the class, hands it a site in parent with the ambient
    // UserMode, then restores settings (or starts it new without them).
    // Raises a RuntimeError whose description says what failed: the class
    // isn't registered, its library can't be loaded, or the restore failed
    // (then with the control's own error number).
    static HostedControl create(const QString &progId, QWidget *parent, bool userMode,
                                platform::PropertyStore *settings);

    IDispatch *dispatch() const { return m_dispatch.get(); }
    // The control's widget, a child of the parent given at creation.
    QWidget *widget() const { return m_widget; }

    // Connects a sink to the class's source interface as the registry names
    // it; every event reaches the handler until the sink is disconnected.
    // Returns the sink with one reference, or null when the class raises no
    // events.
    EventSink *adviseEvents(EventSink::Handler handler) const;
    // Connects a sink to the control's property changes; every put reaches
    // the handler with the property's DISPID until the sink is
    // disconnected. Returns the sink with one reference, or null when the
    // control doesn't publish its changes.
    PropertyNotifySink *advisePropertyChanges(PropertyNotifySink::Handler handler) const;

    // Saves the control's settings through an IPropertyBag over the store.
    void save(platform::PropertyStore &store) const;

private:
    CLSID m_clsid{};
    ComPtr<IUnknown> m_object;
    ComPtr<IDispatch> m_dispatch;
    ComPtr<IControl> m_control;
    QPointer<QWidget> m_widget;
};

} // namespace platform::com
