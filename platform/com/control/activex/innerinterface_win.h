#pragma once

#include "platform/com/core/unknown.h"

namespace platform::com {

// One part of a bigger object, implementing the interfaces Ifaces...: its
// identity and reference count are the outer object's, so a container that
// asks any part for another interface or releases it reaches the whole
// object.
template <typename... Ifaces>
class InnerInterface : public Ifaces... {
public:
    explicit InnerInterface(IUnknown &outer) : m_outer(outer) {}
    InnerInterface(const InnerInterface &) = delete;
    InnerInterface &operator=(const InnerInterface &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override
    {
        return m_outer.QueryInterface(riid, ppvObject);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_outer.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_outer.Release(); }

protected:
    ~InnerInterface() = default;

private:
    IUnknown &m_outer;
};

} // namespace platform::com
