#include "platform/com/host/eventsink.h"

#include "platform/com/core/automation.h"

#include <QCoreApplication>

namespace platform::com {

EventSink *EventSink::create(REFIID sourceIid, Handler handler)
{
    return new EventSink(sourceIid, std::move(handler));
}

EventSink::~EventSink() = default;

HRESULT EventSink::connect(IUnknown *object)
{
    return m_connection.connect(object, m_iid, static_cast<IDispatch *>(this));
}

void EventSink::disconnect()
{
    const ComPtr<IDispatch> self(this);
    m_connection.disconnect();
}

HRESULT STDMETHODCALLTYPE EventSink::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_iid)
        return handOut(static_cast<IDispatch *>(this), ppvObject);
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS *pDispParams,
                                            VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *)
{
    if (!pDispParams)
        return E_INVALIDARG;
    if (pVarResult)
        VariantInit(pVarResult);
    try {
        m_handler(dispIdMember, *pDispParams);
    } catch (const platform::RuntimeError &e) {
        return exceptionFromError(e, QCoreApplication::applicationName(), pExcepInfo);
    }
    return S_OK;
}

} // namespace platform::com
