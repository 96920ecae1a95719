#include "platform/com/typelib/moduletypelib.h"

#include "platform/com/core/comptr.h"
#include "platform/com/core/module.h"

#include <QDir>

namespace platform::com {

HRESULT moduleTypeLib(ITypeLib **typeLib)
{
    if (!typeLib)
        return E_POINTER;
    *typeLib = nullptr;
    // Kept for the process: the module never unloads once it has run Qt.
    static ITypeLib *loaded = nullptr;
    if (!loaded) {
        const QString path = QDir::toNativeSeparators(modulePathOf(reinterpret_cast<const void *>(&moduleTypeLib)));
        if (path.isEmpty())
            return HRESULT_FROM_WIN32(GetLastError());
        const HRESULT h = LoadTypeLibEx(reinterpret_cast<LPCOLESTR>(path.utf16()), REGKIND_NONE, &loaded);
        if (FAILED(h))
            return h;
    }
    loaded->AddRef();
    *typeLib = loaded;
    return S_OK;
}

HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo **typeInfo)
{
    if (!typeInfo)
        return E_POINTER;
    *typeInfo = nullptr;
    ComPtr<ITypeLib> lib;
    const HRESULT h = moduleTypeLib(lib.put());
    if (FAILED(h))
        return h;
    return lib->GetTypeInfoOfGuid(guid, typeInfo);
}

} // namespace platform::com
