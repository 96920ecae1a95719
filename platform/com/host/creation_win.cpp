#include "platform/com/host/creation.h"

#include "platform/com/core/automation.h"

namespace platform::com {

HRESULT createInstanceByProgId(const QString &progId, REFIID riid, void **ppv, QString *why)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    CLSID clsid{};
    HRESULT h = CLSIDFromProgID(progId.toStdWString().c_str(), &clsid);
    if (FAILED(h)) {
        if (why)
            *why = QStringLiteral("No class is registered under the ProgID ") + progId;
        return h;
    }
    h = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, riid, ppv);
    if (FAILED(h) && why)
        *why = QStringLiteral("Cannot create ") + progId + QStringLiteral(": ") + hresultMessage(h);
    return h;
}

} // namespace platform::com
