#include "platform/com/server/classobject.h"

#include "platform/com/control/application.h"

#include <new>
#include <stdexcept>

namespace platform::com {

ClassObject *ClassObject::create(server::CreateFunction createFunction)
{
    return new ClassObject(createFunction);
}

HRESULT STDMETHODCALLTYPE ClassObject::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory)
        return handOut(static_cast<IClassFactory *>(this), ppvObject);
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ClassObject::CreateInstance(IUnknown *pUnkOuter, REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    if (const HRESULT started = ensureApplication(); FAILED(started))
        return started;
    if (!onUserInterfaceThread())
        return RPC_E_WRONG_THREAD;
    // Nothing may be thrown across the library's boundary.
    try {
        return m_create(riid, ppvObject);
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (const std::exception &) {
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE ClassObject::LockServer(BOOL fLock)
{
    if (fLock)
        Module::lock();
    else
        Module::unlock();
    return S_OK;
}

} // namespace platform::com
