#include "platform/com/host/creation.h"

#include "platform/com/core/automation.h"
#include "platform/com/core/classfactory.h"
#include "platform/com/core/comptr.h"
#include "platform/com/runtime/library.h"
#include "platform/com/runtime/registry.h"
#include "platform/core/runtimeerror.h"

namespace platform::com {

namespace {

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void **);

HRESULT getClassObject(REFCLSID rclsid, REFIID riid, void **ppv, QString *why)
{
    std::optional<QString> path;
    try {
        path = Registry::libraryOfClass(rclsid);
    } catch (const platform::RuntimeError &e) {
        if (why)
            *why = e.description();
        return REGDB_E_READREGDB;
    }
    if (!path) {
        if (why)
            *why = QStringLiteral("Class not registered: ") + guidToString(rclsid);
        return REGDB_E_CLASSNOTREG;
    }
    QString loadError;
    Library *library = Library::load(*path, &loadError);
    if (!library) {
        if (why)
            *why = QStringLiteral("Cannot load ") + *path + QStringLiteral(": ") + loadError;
        return CO_E_DLLNOTFOUND;
    }
    const auto entry = reinterpret_cast<GetClassObjectFunction>(library->resolve("DllGetClassObject"));
    if (!entry) {
        if (why)
            *why = *path + QStringLiteral(" has no entry point DllGetClassObject");
        return CO_E_ERRORINDLL;
    }
    const HRESULT h = entry(rclsid, riid, ppv);
    if (FAILED(h) && why)
        *why = *path + QStringLiteral(": ") + hresultMessage(h);
    return h;
}

HRESULT createInstance(REFCLSID rclsid, IUnknown *outer, REFIID riid, void **ppv, QString *why)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    const HRESULT h = getClassObject(rclsid, IID_IClassFactory, factory.putVoid(), why);
    if (FAILED(h))
        return h;
    const HRESULT created = factory->CreateInstance(outer, riid, ppv);
    if (FAILED(created) && why)
        *why = QStringLiteral("Cannot create ") + guidToString(rclsid) + QStringLiteral(": ") + hresultMessage(created);
    return created;
}

} // namespace

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, CLSID *lpclsid)
{
    if (!lpszProgID || !lpclsid)
        return E_POINTER;
    *lpclsid = CLSID{};
    try {
        const std::optional<CLSID> clsid = Registry::clsidFromProgId(QString::fromUtf16(lpszProgID));
        if (!clsid)
            return REGDB_E_CLASSNOTREG;
        *lpclsid = *clsid;
        return S_OK;
    } catch (const platform::RuntimeError &) {
        return REGDB_E_READREGDB;
    }
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD, void *, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return getClassObject(rclsid, riid, ppv, nullptr);
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown *pUnkOuter, DWORD, REFIID riid, void **ppv)
{
    return createInstance(rclsid, pUnkOuter, riid, ppv, nullptr);
}

HRESULT createInstanceByProgId(const QString &progId, REFIID riid, void **ppv, QString *why)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    CLSID clsid{};
    const HRESULT h = CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(progId.utf16()), &clsid);
    if (FAILED(h)) {
        if (why)
            *why = h == REGDB_E_CLASSNOTREG ? QStringLiteral("No class is registered under the ProgID ") + progId
                                            : QStringLiteral("Cannot read the class registry ") + Registry::filePath();
        return h;
    }
    return createInstance(clsid, nullptr, riid, ppv, why);
}

} // namespace platform::com
