#include "platform/com/host/sinkconnection.h"

#include <utility>

namespace platform::com {

HRESULT SinkConnection::connect(IUnknown *object, REFIID iid, IUnknown *sink)
{
    disconnect();
    if (!object || !sink)
        return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    HRESULT h = object->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
    if (FAILED(h))
        return h;
    ComPtr<IConnectionPoint> point;
    h = container->FindConnectionPoint(iid, point.put());
    if (FAILED(h))
        return h;
    h = point->Advise(sink, &m_cookie);
    if (FAILED(h))
        return h;
    m_point = point;
    return S_OK;
}

void SinkConnection::disconnect()
{
    const ComPtr<IConnectionPoint> point = std::exchange(m_point, {});
    if (point)
        point->Unadvise(std::exchange(m_cookie, 0));
}

} // namespace platform::com
