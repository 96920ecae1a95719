#include "platform/com/server/library.h"

#include "platform/com/core/comptr.h"

#include <QDir>

namespace platform::com {

QString modulePathOf(const void *address)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return QString();
    // Long paths don't fit MAX_PATH: grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), DWORD(path.size()));
        if (length == 0)
            return QString();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return QDir::cleanPath(QString::fromStdWString(path));
}

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
