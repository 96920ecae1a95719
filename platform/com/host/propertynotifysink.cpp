#include "platform/com/host/propertynotifysink.h"

#include "platform/com/core/comptr.h"

namespace platform::com {

PropertyNotifySink *PropertyNotifySink::create(Handler handler)
{
    return new PropertyNotifySink(std::move(handler));
}

PropertyNotifySink::~PropertyNotifySink() = default;

HRESULT PropertyNotifySink::connect(IUnknown *object)
{
    return m_connection.connect(object, IID_IPropertyNotifySink, this);
}

void PropertyNotifySink::disconnect()
{
    const ComPtr<IPropertyNotifySink> self(this);
    m_connection.disconnect();
}

HRESULT STDMETHODCALLTYPE PropertyNotifySink::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPropertyNotifySink)
        return handOut(this, ppvObject);
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE PropertyNotifySink::OnChanged(DISPID dispID)
{
    m_handler(dispID);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyNotifySink::OnRequestEdit(DISPID)
{
    return S_OK;
}

} // namespace platform::com
