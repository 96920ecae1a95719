#pragma once

#include "platform/com/core/classfactory.h"
#include "platform/com/core/comimpl.h"
#include "platform/com/server/server.h"

namespace platform::com {

// The class factory of one class of a control library. Objects are made
// only on the application's user-interface thread (RPC_E_WRONG_THREAD, or
// CO_E_NOTINITIALIZED when there is no application object and none can be
// made: see control/application.h) and never aggregated.
class ClassObject : public ComImpl<IClassFactory> {
public:
    static ClassObject *create(server::CreateFunction createFunction);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *pUnkOuter, REFIID riid, void **ppvObject) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

private:
    explicit ClassObject(server::CreateFunction createFunction) : m_create(createFunction) {}

    server::CreateFunction m_create;
};

} // namespace platform::com
