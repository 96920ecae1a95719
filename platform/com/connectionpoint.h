#pragma once

#include "platform/com/connectionpoints.h"
#include "platform/com/dispatch.h"

#include <vector>

namespace platform::com {

// The connection point of one source interface, owned by the object that
// raises the events: its references are the owner's. Sinks are IDispatch
// objects; each event reaches them through Invoke with DISPATCH_METHOD.
class ConnectionPoint : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer &owner, REFIID iid);
    ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint &) = delete;
    ConnectionPoint &operator=(const ConnectionPoint &) = delete;

    HRESULT QueryInterface(REFIID riid, void **ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetConnectionInterface(IID *pIID) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer **ppCPC) override;
    // Accepts a sink that answers QueryInterface for the source interface
    // or for IDispatch; CONNECT_E_CANNOTCONNECT otherwise.
    HRESULT Advise(IUnknown *pUnkSink, DWORD *pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;
    HRESULT EnumConnections(IEnumConnections **ppEnum) override;

    // Raises one event on every sink connected when the call starts, in the
    // order they were connected. A sink's own failure does not stop the
    // others. BYREF arguments carry what the sinks left in them.
    void fire(DISPID dispid, DISPPARAMS &params);
    // Releases every sink.
    void disconnectAll();

private:
    IConnectionPointContainer &m_owner;
    IID m_iid;
    std::vector<std::pair<DWORD, IDispatch *>> m_sinks;
    DWORD m_nextCookie = 1;
};

} // namespace platform::com
