// Registration on Windows: per user, in HKCU\Software\Classes, with the type
// library embedded in the library file registered for the user too.

#include "platform/com/server/server.h"

#include "platform/com/core/comptr.h"
#include "platform/com/server/library.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QtGlobal>

// oleaut32 has them; mingw-w64's headers don't declare them yet.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib *ptlib, OLECHAR *szFullPath, OLECHAR *szHelpDir);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libID, WORD wMajorVerNum, WORD wMinorVerNum, LCID lcid,
                                        SYSKIND syskind);
}

namespace platform::com::server {

namespace {

const QString kClasses = QStringLiteral("Software\\Classes\\");

std::wstring wide(const QString &text)
{
    return text.toStdWString();
}

// One open registry key of the current user, created when missing.
class Key {
public:
    explicit Key(const QString &path)
    {
        const LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, wide(path).c_str(), 0, nullptr, 0,
                                               KEY_SET_VALUE, nullptr, &m_key, nullptr);
        if (status != ERROR_SUCCESS)
            throw platform::errorFromWindowsError(DWORD(status));
    }
    ~Key() { RegCloseKey(m_key); }
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;

    // Sets a text value; an empty name sets the key's default value.
    void set(const QString &name, const QString &value)
    {
        const std::wstring data = wide(value);
        const LSTATUS status =
            RegSetValueExW(m_key, name.isEmpty() ? nullptr : wide(name).c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE *>(data.c_str()), DWORD((data.size() + 1) * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS)
            throw platform::errorFromWindowsError(DWORD(status));
    }

private:
    HKEY m_key = nullptr;
};

void setDefault(const QString &path, const QString &value)
{
    Key(path).set(QString(), value);
}

QString latin(const char *text)
{
    return QString::fromLatin1(text);
}

void registerClass(const TypeLibraryInfo &lib, const ClassInfo &cls, const QString &path)
{
    const QString clsid = guidToString(cls.clsid);
    const QString key = kClasses + QStringLiteral("CLSID\\") + clsid;
    setDefault(key, latin(cls.name));
    {
        Key server(key + QStringLiteral("\\InprocServer32"));
        server.set(QString(), path);
        server.set(QStringLiteral("ThreadingModel"), QStringLiteral("Apartment"));
    }
    setDefault(key + QStringLiteral("\\ProgID"), latin(cls.progId));
    setDefault(key + QStringLiteral("\\TypeLib"), guidToString(lib.libid));
    setDefault(key + QStringLiteral("\\Version"), QStringLiteral("%1.%2").arg(lib.majorVersion).arg(lib.minorVersion));
    if (cls.flags & ClassControl) {
        setDefault(key + QStringLiteral("\\Control"), QString());
        setDefault(key + QStringLiteral("\\ToolboxBitmap32"),
                   path + QStringLiteral(", ") + QString::number(toolboxBitmapResource(lib, cls)));
        setDefault(key + QStringLiteral("\\MiscStatus"), QString::number(cls.miscStatus));
    }
    setDefault(kClasses + latin(cls.progId), latin(cls.name));
    setDefault(kClasses + latin(cls.progId) + QStringLiteral("\\CLSID"), clsid);
}

// Removes a key of the current user with everything below it; one that
// isn't there is already gone.
bool removeTree(const QString &path)
{
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, wide(path).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

SYSKIND thisSystem()
{
    return sizeof(void *) == 8 ? SYS_WIN64 : SYS_WIN32;
}

} // namespace

HRESULT registerServer(const TypeLibraryInfo &lib, const void *addressInLibrary)
{
    const QString path = QDir::toNativeSeparators(modulePathOf(addressInLibrary));
    if (path.isEmpty())
        return SELFREG_E_CLASS;
    ComPtr<ITypeLib> typeLib;
    if (FAILED(LoadTypeLibEx(wide(path).c_str(), REGKIND_NONE, typeLib.put()))) {
        qWarning("%s holds no type library", qPrintable(path));
        return SELFREG_E_TYPELIB;
    }
    try {
        for (const ClassInfo *cls : typesOf<ClassInfo>(lib))
            registerClass(lib, *cls, path);
    } catch (const platform::RuntimeError &e) {
        qWarning("Cannot register %s: %s", lib.name, qPrintable(e.description()));
        unregisterServer(lib);
        return SELFREG_E_CLASS;
    }
    std::wstring file = wide(path);
    if (FAILED(RegisterTypeLibForUser(typeLib.get(), file.data(), nullptr))) {
        qWarning("Cannot register the type library of %s", lib.name);
        unregisterServer(lib);
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

HRESULT unregisterServer(const TypeLibraryInfo &lib)
{
    bool removed = true;
    for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
        removed = removeTree(kClasses + QStringLiteral("CLSID\\") + guidToString(cls->clsid)) && removed;
        removed = removeTree(kClasses + latin(cls->progId)) && removed;
    }
    if (!removed) {
        qWarning("Cannot remove the classes of %s from the registry", lib.name);
        return REGDB_E_WRITEREGDB;
    }
    UnRegisterTypeLibForUser(lib.libid, WORD(lib.majorVersion), WORD(lib.minorVersion), lib.lcid, thisSystem());
    // Unregistering a type library that isn't registered fails: what counts
    // is that it is gone.
    BSTR stillThere = nullptr;
    if (SUCCEEDED(QueryPathOfRegTypeLib(lib.libid, WORD(lib.majorVersion), WORD(lib.minorVersion), lib.lcid,
                                        &stillThere))) {
        SysFreeString(stillThere);
        qWarning("Cannot unregister the type library of %s", lib.name);
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

} // namespace platform::com::server
