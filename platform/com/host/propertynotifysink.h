#pragma once

#include "platform/com/core/comimpl.h"
#include "platform/com/core/connectioninterfaces.h"
#include "platform/com/host/sinkconnection.h"

#include <functional>

namespace platform::com {

// A host's receiver of one object's property changes: every OnChanged
// reaches the handler with the property's DISPID. Edits are never refused.
class PropertyNotifySink : public ComImpl<IPropertyNotifySink> {
public:
    using Handler = std::function<void(DISPID dispid)>;

    // A new sink with one reference, owned by the caller.
    static PropertyNotifySink *create(Handler handler);

    // Connects to the object's IPropertyNotifySink connection point; the
    // sink stays connected until disconnect().
    HRESULT connect(IUnknown *object);
    // Ends the connection made by connect(), if any.
    void disconnect();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override;
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID dispID) override;
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID dispID) override;

private:
    explicit PropertyNotifySink(Handler handler) : m_handler(std::move(handler)) {}
    ~PropertyNotifySink() override;

    Handler m_handler;
    SinkConnection m_connection;
};

} // namespace platform::com
