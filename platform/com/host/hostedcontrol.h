#pragma once

#include "platform/com/core/comptr.h"
#include "platform/com/core/controlinterfaces.h"
#include "platform/com/core/dispatch.h"
#include "platform/com/host/eventsink.h"
#ifdef _WIN32
#include "platform/com/host/clientsite.h"
#endif
#include "platform/com/host/propertynotifysink.h"
#include "platform/settings/propertystore.h"
#include "platform/core/runtimeerror.h"

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>

namespace platform::com {

// A control as its container holds it: created by ProgID through the class
// registry, given its site, restored from stored settings, and driven by
// DISPID through its IDispatch. The control lives as long as this object.
//
// On Linux the control's own widget is placed in the parent. On Windows the
// control is an ActiveX control hosted as a standard container hosts one:
// the widget handed out is the container's native window for it, a child of
// the parent, in which the control is activated in place; moving, showing
// and resizing that window places, shows and sizes the control.
class HostedControl {
public:
    HostedControl() = default;
    HostedControl(HostedControl &&) = default;
    // Lets go of the control held so far as the destructor does (on
    // Windows, the control and its site hold each other until it is closed).
    HostedControl &operator=(HostedControl &&other) noexcept;
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
    // A picture of the control as it draws itself, at its widget's size.
    QPixmap grab() const;

    // Connects a sink to the class's source interface (as the registry
    // names it on Linux, IProvideClassInfo2 on Windows); every event reaches
    // the handler until the sink is disconnected. Returns the sink with one
    // reference, or null when the class raises no events.
    EventSink *adviseEvents(EventSink::Handler handler) const;
    // Connects a sink to the control's property changes; every put reaches
    // the handler with the property's DISPID until the sink is
    // disconnected. Returns the sink with one reference, or null when the
    // control doesn't publish its changes.
    PropertyNotifySink *advisePropertyChanges(PropertyNotifySink::Handler handler) const;

    // Saves the control's settings through an IPropertyBag over the store.
    void save(platform::PropertyStore &store) const;

private:
    // Creates the object by ProgID and takes its IDispatch (null when it
    // has none); raises the error create describes.
    void createObject(const QString &progId);
    // Restores the settings through IPersistPropertyBag, or starts new.
    void restore(const QString &progId, platform::PropertyStore *settings) const;
    // A failed restore or save carries the control's run-time error number.
    static platform::RuntimeError persistError(HRESULT h);
    // The class's source interface; none when it raises no events.
    std::optional<IID> sourceInterface() const;

    CLSID m_clsid{};
    ComPtr<IUnknown> m_object;
    ComPtr<IDispatch> m_dispatch;
#ifdef _WIN32
    ComPtr<IOleObject> m_oleObject;
    ComPtr<ClientSite> m_site;
#else
    ComPtr<IControl> m_control;
#endif
    QPointer<QWidget> m_widget;
};

} // namespace platform::com
