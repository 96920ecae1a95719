// Registration on Windows: machine-wide by default, as regsvr32 users and
// installers expect (HKLM\Software\Classes, which HKEY_CLASSES_ROOT shows,
// and RegisterTypeLib), or for the current user through DllInstall "user"
// (HKCU\Software\Classes), as ATL offers it. A
// 32-bit library under 64-bit Windows lands in the 32-bit view of the
// registry, which is where 32-bit clients look.

#include "platform/com/server/server.h"

#include "platform/com/core/comptr.h"
#include "platform/com/core/module.h"

#include <QDir>
#include <QtGlobal>

namespace platform::com::server {

namespace {

const QString kClasses = QStringLiteral("Software\\Classes\\");

// A registry call that failed, as the HRESULT regsvr32 shows its user.
struct RegistryFailure {
    HRESULT result;
};

void check(LSTATUS status)
{
    if (status != ERROR_SUCCESS)
        throw RegistryFailure{HRESULT_FROM_WIN32(DWORD(status))};
}

HKEY rootOf(Scope scope)
{
    return scope == Scope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const char *scopeName(Scope scope)
{
    return scope == Scope::Machine ? "machine-wide" : "for the current user";
}

std::wstring wide(const QString &text)
{
    return text.toStdWString();
}

// One open registry key below the scope's classes, created when missing.
class Key {
public:
    Key(Scope scope, const QString &path)
    {
        check(RegCreateKeyExW(rootOf(scope), wide(kClasses + path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &m_key, nullptr));
    }
    ~Key() { RegCloseKey(m_key); }
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;

    // Sets a text value; an empty name sets the key's default value.
    void set(const QString &name, const QString &value)
    {
        const std::wstring data = wide(value);
        check(RegSetValueExW(m_key, name.isEmpty() ? nullptr : wide(name).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE *>(data.c_str()), DWORD((data.size() + 1) * sizeof(wchar_t))));
    }

private:
    HKEY m_key = nullptr;
};

QString latin(const char *text)
{
    return QString::fromLatin1(text);
}

void registerClass(Scope scope, const TypeLibraryInfo &lib, const ClassInfo &cls, const QString &path)
{
    const QString key = QStringLiteral("CLSID\\") + guidToString(cls.clsid);
    const auto setDefault = [scope](const QString &at, const QString &value) { Key(scope, at).set(QString(), value); };
    setDefault(key, latin(cls.name));
    {
        Key server(scope, key + QStringLiteral("\\InprocServer32"));
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
    setDefault(latin(cls.progId), latin(cls.name));
    setDefault(latin(cls.progId) + QStringLiteral("\\CLSID"), guidToString(cls.clsid));
}

// Removes a key of the scope's classes with everything below it; one that
// isn't there is already gone.
LSTATUS removeTree(Scope scope, const QString &path)
{
    const LSTATUS status = RegDeleteTreeW(rootOf(scope), wide(kClasses + path).c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

SYSKIND thisSystem()
{
    return sizeof(void *) == 8 ? SYS_WIN64 : SYS_WIN32;
}

QString typeLibraryKey(const TypeLibraryInfo &lib)
{
    return QStringLiteral("TypeLib\\%1\\%2.%3").arg(guidToString(lib.libid)).arg(lib.majorVersion).arg(lib.minorVersion);
}

// The key of the library's file for this system: win32 or win64.
QString typeLibraryFileKey(const TypeLibraryInfo &lib)
{
    return typeLibraryKey(lib)
           + QStringLiteral("\\%1\\%2")
                 .arg(lib.lcid, 0, 16)
                 .arg(thisSystem() == SYS_WIN64 ? QStringLiteral("win64") : QStringLiteral("win32"));
}

bool keyExists(Scope scope, const QString &path)
{
    HKEY found = nullptr;
    if (RegOpenKeyExW(rootOf(scope), wide(kClasses + path).c_str(), 0, KEY_READ, &found) != ERROR_SUCCESS)
        return false;
    RegCloseKey(found);
    return true;
}

// The automation marshaler, which serves every dual and dispatch interface.
const QString kOleAutomationProxy = QStringLiteral("{00020424-0000-0000-C000-000000000046}");

// What RegisterTypeLib writes, in the current user's classes: Wine's
// RegisterTypeLibForUser registers machine-wide instead (and its
// UnRegisterTypeLibForUser would take away a machine-wide registration),
// so the per-user keys are written here, as Windows writes them.
void registerTypeLibraryForUser(const TypeLibraryInfo &lib, const QString &path)
{
    const auto setDefault = [](const QString &at, const QString &value) { Key(Scope::User, at).set(QString(), value); };
    const QString key = typeLibraryKey(lib);
    setDefault(key, latin(lib.helpString));
    setDefault(key + QStringLiteral("\\FLAGS"), QString::number((lib.flags & LibraryControl) ? LIBFLAG_FCONTROL : 0));
    setDefault(key + QStringLiteral("\\HELPDIR"), path.left(path.lastIndexOf(QLatin1Char('\\'))));
    setDefault(typeLibraryFileKey(lib), path);
    for (const InterfaceInfo *iface : typesOf<InterfaceInfo>(lib)) {
        const QString interfaceKey = QStringLiteral("Interface\\") + guidToString(iface->iid);
        setDefault(interfaceKey, latin(iface->name));
        setDefault(interfaceKey + QStringLiteral("\\ProxyStubClsid"), kOleAutomationProxy);
        setDefault(interfaceKey + QStringLiteral("\\ProxyStubClsid32"), kOleAutomationProxy);
        Key typeLib(Scope::User, interfaceKey + QStringLiteral("\\TypeLib"));
        typeLib.set(QString(), guidToString(lib.libid));
        typeLib.set(QStringLiteral("Version"), QStringLiteral("%1.%2").arg(lib.majorVersion).arg(lib.minorVersion));
    }
}

// Takes this system's file away; the library's key goes with the last one
// (the other width's edition may still be registered).
void unregisterTypeLibraryForUser(const TypeLibraryInfo &lib)
{
    for (const InterfaceInfo *iface : typesOf<InterfaceInfo>(lib))
        removeTree(Scope::User, QStringLiteral("Interface\\") + guidToString(iface->iid));
    removeTree(Scope::User, typeLibraryFileKey(lib));
    const QString language = typeLibraryFileKey(lib).section(QLatin1Char('\\'), 0, -2);
    HKEY found = nullptr;
    DWORD subkeys = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(kClasses + language).c_str(), 0, KEY_READ, &found) == ERROR_SUCCESS) {
        RegQueryInfoKeyW(found, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr);
        RegCloseKey(found);
    }
    if (subkeys == 0)
        removeTree(Scope::User, typeLibraryKey(lib));
}

HRESULT registerTypeLibrary(Scope scope, const TypeLibraryInfo &lib, ITypeLib *typeLib, const QString &path)
{
    if (scope == Scope::Machine) {
        std::wstring file = wide(path);
        return RegisterTypeLib(typeLib, file.data(), nullptr);
    }
    try {
        registerTypeLibraryForUser(lib, path);
    } catch (const RegistryFailure &failure) {
        return failure.result;
    }
    return S_OK;
}

void unregisterTypeLibrary(Scope scope, const TypeLibraryInfo &lib)
{
    // Unregistering a type library that isn't registered fails: what counts
    // is that it is gone.
    if (scope == Scope::Machine)
        UnRegisterTypeLib(lib.libid, WORD(lib.majorVersion), WORD(lib.minorVersion), lib.lcid, thisSystem());
    else
        unregisterTypeLibraryForUser(lib);
}

} // namespace

HRESULT registerServer(const TypeLibraryInfo &lib, const void *addressInLibrary, Scope scope)
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
            registerClass(scope, lib, *cls, path);
    } catch (const RegistryFailure &failure) {
        qWarning("Cannot register the classes of %s %s (0x%08lx)", lib.name, scopeName(scope), failure.result);
        unregisterServer(lib, scope);
        return failure.result;
    }
    const HRESULT registered = registerTypeLibrary(scope, lib, typeLib.get(), path);
    if (FAILED(registered)) {
        qWarning("Cannot register the type library of %s %s (0x%08lx)", lib.name, scopeName(scope), registered);
        unregisterServer(lib, scope);
        return registered;
    }
    return S_OK;
}

HRESULT unregisterServer(const TypeLibraryInfo &lib, Scope scope)
{
    LSTATUS status = ERROR_SUCCESS;
    for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
        for (const QString &key : {QStringLiteral("CLSID\\") + guidToString(cls->clsid), latin(cls->progId)}) {
            const LSTATUS removed = removeTree(scope, key);
            if (status == ERROR_SUCCESS)
                status = removed;
        }
    }
    if (status != ERROR_SUCCESS) {
        qWarning("Cannot remove the classes of %s %s from the registry", lib.name, scopeName(scope));
        return HRESULT_FROM_WIN32(DWORD(status));
    }
    unregisterTypeLibrary(scope, lib);
    if (keyExists(scope, typeLibraryFileKey(lib))) {
        qWarning("Cannot unregister the type library of %s %s", lib.name, scopeName(scope));
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

HRESULT install(const TypeLibraryInfo &lib, const void *addressInLibrary, bool registering, const wchar_t *commandLine)
{
    const QString switches = commandLine ? QString::fromWCharArray(commandLine).trimmed() : QString();
    Scope scope = Scope::Machine;
    if (switches.compare(QLatin1String("user"), Qt::CaseInsensitive) == 0)
        scope = Scope::User;
    else if (!switches.isEmpty())
        return E_INVALIDARG;
    return registering ? registerServer(lib, addressInLibrary, scope) : unregisterServer(lib, scope);
}

} // namespace platform::com::server
