#pragma once

#include "platform/com/core/comptr.h"
#include "platform/com/core/connectioninterfaces.h"
#include "platform/com/core/dispatch.h"

#include <type_traits>
#include <utility>
#include <vector>

namespace platform::com {

// The connection point of one outgoing interface, owned by the object that
// calls it: its references are the owner's. Each sink is held as a Sink,
// the outgoing interface's own type; the sinks of a dispinterface are
// IDispatch objects, which receive each event through Invoke.
template <typename Sink>
class ConnectionPoint : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer &owner, REFIID iid) : m_owner(owner), m_iid(iid) {}
    ~ConnectionPoint() { disconnectAll(); }
    ConnectionPoint(const ConnectionPoint &) = delete;
    ConnectionPoint &operator=(const ConnectionPoint &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override
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
    ULONG STDMETHODCALLTYPE AddRef() override { return m_owner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_owner.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID *pIID) override
    {
        if (!pIID)
            return E_POINTER;
        *pIID = m_iid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer **ppCPC) override
    {
        if (!ppCPC)
            return E_POINTER;
        m_owner.AddRef();
        *ppCPC = &m_owner;
        return S_OK;
    }
    // Accepts a sink that answers QueryInterface for the outgoing interface
    // (or, for a dispinterface, for IDispatch); CONNECT_E_CANNOTCONNECT
    // otherwise.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown *pUnkSink, DWORD *pdwCookie) override
    {
        if (!pUnkSink || !pdwCookie)
            return E_POINTER;
        *pdwCookie = 0;
        Sink *sink = nullptr;
        HRESULT h = pUnkSink->QueryInterface(m_iid, reinterpret_cast<void **>(&sink));
        if constexpr (std::is_same_v<Sink, IDispatch>) {
            if (FAILED(h))
                h = pUnkSink->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&sink));
        }
        if (FAILED(h))
            return CONNECT_E_CANNOTCONNECT;
        *pdwCookie = m_nextCookie++;
        m_sinks.emplace_back(*pdwCookie, sink);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override
    {
        for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
            if (it->first == dwCookie) {
                Sink *sink = it->second;
                m_sinks.erase(it);
                sink->Release();
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    }
    // Enumeration is not offered: returns E_NOTIMPL.
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections **ppEnum) override
    {
        if (ppEnum)
            *ppEnum = nullptr;
        return E_NOTIMPL;
    }

    // Calls call(sink) for every sink connected when the call starts, in the
    // order they were connected, and stops at the first call that fails:
    // its HRESULT is the result. A sink may connect or disconnect sinks
    // meanwhile.
    template <typename Call>
    HRESULT forEachSink(Call call)
    {
        std::vector<ComPtr<Sink>> sinks;
        sinks.reserve(m_sinks.size());
        for (const auto &[cookie, sink] : m_sinks)
            sinks.emplace_back(sink);
        for (const ComPtr<Sink> &sink : sinks) {
            const HRESULT h = call(sink.get());
            if (FAILED(h))
                return h;
        }
        return S_OK;
    }

    // Releases every sink.
    void disconnectAll()
    {
        const auto sinks = std::exchange(m_sinks, {});
        for (const auto &[cookie, sink] : sinks)
            sink->Release();
    }

private:
    IConnectionPointContainer &m_owner;
    IID m_iid;
    std::vector<std::pair<DWORD, Sink *>> m_sinks;
    DWORD m_nextCookie = 1;
};

} // namespace platform::com
