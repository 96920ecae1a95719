#include "platform/com/connectionpoint.h"

#include "platform/com/comptr.h"

namespace platform::com {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer &owner, REFIID iid)
    : m_owner(owner), m_iid(iid)
{
}

ConnectionPoint::~ConnectionPoint()
{
    disconnectAll();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        AddRef();
        *ppvObject = static_cast<IConnectionPoint *>(this);
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef() { return m_owner.AddRef(); }
ULONG ConnectionPoint::Release() { return m_owner.Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID *pIID)
{
    if (!pIID)
        return E_POINTER;
    *pIID = m_iid;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer **ppCPC)
{
    if (!ppCPC)
        return E_POINTER;
    m_owner.AddRef();
    *ppCPC = &m_owner;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown *pUnkSink, DWORD *pdwCookie)
{
    if (!pUnkSink || !pdwCookie)
        return E_POINTER;
    *pdwCookie = 0;
    IDispatch *sink = nullptr;
    if (FAILED(pUnkSink->QueryInterface(m_iid, reinterpret_cast<void **>(&sink)))
        && FAILED(pUnkSink->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&sink))))
        return CONNECT_E_CANNOTCONNECT;
    *pdwCookie = m_nextCookie++;
    m_sinks.emplace_back(*pdwCookie, sink);
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD dwCookie)
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->first == dwCookie) {
            IDispatch *sink = it->second;
            m_sinks.erase(it);
            sink->Release();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections **ppEnum)
{
    if (ppEnum)
        *ppEnum = nullptr;
    return E_NOTIMPL;
}

void ConnectionPoint::fire(DISPID dispid, DISPPARAMS &params)
{
    // A sink may connect or disconnect sinks while it handles the event.
    std::vector<ComPtr<IDispatch>> sinks;
    sinks.reserve(m_sinks.size());
    for (const auto &[cookie, sink] : m_sinks)
        sinks.emplace_back(sink);
    for (const ComPtr<IDispatch> &sink : sinks) {
        EXCEPINFO info{};
        UINT argErr = 0;
        sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info, &argErr);
        clearExcepInfo(&info);
    }
}

void ConnectionPoint::disconnectAll()
{
    auto sinks = std::move(m_sinks);
    m_sinks.clear();
    for (const auto &[cookie, sink] : sinks)
        sink->Release();
}

} // namespace platform::com
