#include "platform/com/host/hostedcontrol.h"

#include "platform/com/core/automation.h"
#include "platform/com/core/persistinterfaces.h"
#include "platform/com/host/creation.h"
#include "platform/com/host/propertybagoverstore.h"
#include "platform/core/runtimeerror.h"

#include <memory>

namespace platform::com {

HostedControl &HostedControl::operator=(HostedControl &&other) noexcept
{
    if (this != &other) {
        std::destroy_at(this);
        std::construct_at(this, std::move(other));
    }
    return *this;
}

platform::RuntimeError HostedControl::persistError(HRESULT h)
{
    if (const std::optional<int> number = errorNumberFromHresult(h))
        return platform::RuntimeError(*number);
    return platform::RuntimeError(platform::ErrAutomation, hresultMessage(h));
}

void HostedControl::createObject(const QString &progId)
{
    QString why;
    const HRESULT created = createInstanceByProgId(progId, IID_IUnknown, m_object.putVoid(), &why);
    if (FAILED(created))
        throw platform::RuntimeError(platform::ErrCantCreateObject, why);
    CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(progId.utf16()), &m_clsid);
    m_dispatch = m_object.as<IDispatch>(IID_IDispatch);
}

void HostedControl::restore(const QString &progId, platform::PropertyStore *settings) const
{
    const auto persist = m_object.as<IPersistPropertyBag>(IID_IPersistPropertyBag);
    if (!persist)
        throw platform::RuntimeError(platform::ErrNoAutomation,
                                     progId + QStringLiteral(" can't be restored from a property bag"));
    HRESULT h;
    if (settings) {
        const auto bag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(*settings));
        h = persist->Load(bag.get(), nullptr);
    } else {
        h = persist->InitNew();
    }
    if (FAILED(h))
        throw persistError(h);
}

EventSink *HostedControl::adviseEvents(EventSink::Handler handler) const
{
    const std::optional<IID> source = sourceInterface();
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
    const auto bag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(store));
    const HRESULT h = persist->Save(bag.get(), TRUE, TRUE);
    if (FAILED(h))
        throw persistError(h);
}

} // namespace platform::com
