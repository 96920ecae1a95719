#pragma once

#include "platform/com/core/module.h"
#include "platform/com/core/unknown.h"

namespace platform::com {

// Reference counting for an object implementing the interfaces Ifaces...:
// starts with one reference (the creator's), deletes itself on the last
// Release, and counts itself among the module's live objects. The derived
// class implements QueryInterface.
template <typename... Ifaces>
class ComImpl : public Ifaces... {
public:
    ComImpl() { Module::objectCreated(); }
    ComImpl(const ComImpl &) = delete;
    ComImpl &operator=(const ComImpl &) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~ComImpl() { Module::objectDestroyed(); }

    // Hands out p (already cast to the wanted interface) with a new reference.
    HRESULT handOut(IUnknown *p, void **ppv)
    {
        p->AddRef();
        *ppv = p;
        return S_OK;
    }

private:
    ULONG m_refs = 1;
};

} // namespace platform::com
