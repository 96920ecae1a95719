#pragma once

#include "platform/com/core/connectioninterfaces.h"
#include "platform/com/core/dispatch.h"
#include "platform/com/core/dispatchimpl.h"
#include "platform/com/host/sinkconnection.h"

#include <functional>

namespace platform::com {

// A host's receiver of one object's events: every event arrives as a call
// of the handler with its DISPID and arguments (BYREF arguments may be
// changed in place). A handler raises an error as a platform::RuntimeError:
// the object then gets DISP_E_EXCEPTION with its number and description.
// connect()/disconnect() manage the connection to the object's source
// interface.
class EventSink : public DispatchImpl<IDispatch> {
public:
    using Handler = std::function<void(DISPID dispid, DISPPARAMS &params)>;

    // A new sink with one reference, owned by the caller.
    static EventSink *create(REFIID sourceIid, Handler handler);

    // Connects to the source interface of object through its connection
    // point container; the sink stays connected until disconnect().
    HRESULT connect(IUnknown *object);
    // Ends the connection made by connect(), if any.
    void disconnect();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS *pDispParams,
                                     VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *puArgErr) override;

private:
    EventSink(REFIID sourceIid, Handler handler) : m_iid(sourceIid), m_handler(std::move(handler)) {}
    ~EventSink() override;

    IID m_iid;
    Handler m_handler;
    SinkConnection m_connection;
};

} // namespace platform::com
