#include "platform/com/eventsink.h"

#include "platform/com/connectionpoints.h"

namespace platform::com {

EventSink *EventSink::create(REFIID sourceIid, Handler handler)
{
    return new EventSink(sourceIid, std::move(handler));
}

EventSink::~EventSink() = default;

HRESULT EventSink::connect(IUnknown *object)
{
    disconnect();
    if (!object)
        return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    HRESULT h = object->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
    if (FAILED(h))
        return h;
    ComPtr<IConnectionPoint> point;
    h = container->FindConnectionPoint(m_iid, point.put());
    if (FAILED(h))
        return h;
    h = point->Advise(static_cast<IDispatch *>(this), &m_cookie);
    if (FAILED(h))
        return h;
    m_point = point;
    return S_OK;
}

void EventSink::disconnect()
{
    if (!m_point)
        return;
    // The connection holds a reference to this sink; keep it until done.
    const ComPtr<IDispatch> self(this);
    m_point->Unadvise(m_cookie);
    m_point.reset();
    m_cookie = 0;
}

HRESULT EventSink::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_iid)
        return handOut(static_cast<IDispatch *>(this), ppvObject);
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventSink::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS *pDispParams, VARIANT *pVarResult,
                          EXCEPINFO *, UINT *)
{
    if (!pDispParams)
        return E_INVALIDARG;
    if (pVarResult)
        VariantInit(pVarResult);
    m_handler(dispIdMember, *pDispParams);
    return S_OK;
}

} // namespace platform::com
