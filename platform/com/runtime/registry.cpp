#include "platform/com/runtime/registry.h"

#include "platform/com/typelib/toolboxbitmap.h"
#include "platform/system/files.h"
#include "platform/core/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <functional>

namespace platform::com {

namespace {

const QString kClasses = QStringLiteral("classes");
const QString kProgIds = QStringLiteral("progIds");
const QString kTypeLibraries = QStringLiteral("typeLibraries");
const QString kInterfaces = QStringLiteral("interfaces");
// How long a change waits for other writers before it gives up.
constexpr int kLockWaitMs = 30000;

platform::RuntimeError registryError(const QString &what)
{
    return platform::RuntimeError(platform::ErrPathFileAccess, what + QStringLiteral(": ") + Registry::filePath());
}

QJsonObject readFile()
{
    // Something other than a file there is not ours to read or replace.
    platform::files::requireRegularFileOrNothing(Registry::filePath());
    QFile file(Registry::filePath());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw registryError(QStringLiteral("Cannot read the class registry"));
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        throw registryError(QStringLiteral("The class registry is damaged"));
    return doc.object();
}

bool isEmpty(const QJsonObject &registry)
{
    for (auto it = registry.begin(); it != registry.end(); ++it) {
        if (!it.value().toObject().isEmpty())
            return false;
    }
    return true;
}

void writeFile(const QJsonObject &registry)
{
    const QString path = Registry::filePath();
    if (isEmpty(registry)) {
        if (QFile::exists(path) && !QFile::remove(path))
            throw registryError(QStringLiteral("Cannot write the class registry"));
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw registryError(QStringLiteral("Cannot write the class registry"));
    file.write(QJsonDocument(registry).toJson());
    if (!file.commit())
        throw registryError(QStringLiteral("Cannot write the class registry"));
}

std::function<void()> &changeHook()
{
    static std::function<void()> hook;
    return hook;
}

// Runs change on the registry's contents with other writers locked out.
// The folder stays even when the registry goes: it holds the lock file that
// other writers may be waiting on.
void modify(const std::function<void(QJsonObject &)> &change)
{
    const QString path = Registry::filePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw registryError(QStringLiteral("Cannot create the folder of the class registry"));
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        throw registryError(lock.error() == QLockFile::LockFailedError
                                ? QStringLiteral("The class registry is locked")
                                : QStringLiteral("Cannot create the lock file of the class registry"));
    }
    QJsonObject registry = readFile();
    change(registry);
    // A copy: the hook may replace itself.
    if (const std::function<void()> hook = changeHook())
        hook();
    writeFile(registry);
}

QJsonObject section(const QJsonObject &registry, const QString &name)
{
    return registry.value(name).toObject();
}

void setEntry(QJsonObject &registry, const QString &sectionName, const QString &key, const QJsonValue &value)
{
    QJsonObject s = section(registry, sectionName);
    if (value.isUndefined())
        s.remove(key);
    else
        s.insert(key, value);
    if (s.isEmpty())
        registry.remove(sectionName);
    else
        registry.insert(sectionName, s);
}

QString latin(const char *text) { return QString::fromLatin1(text); }

QString versionOf(const TypeLibraryInfo &lib)
{
    return QStringLiteral("%1.%2").arg(lib.majorVersion).arg(lib.minorVersion);
}

QJsonObject typeLibraryEntry(const TypeLibraryInfo &lib, const QString &libraryPath)
{
    QJsonArray flags;
    if (lib.flags & LibraryControl)
        flags.append(QStringLiteral("control"));
    QJsonObject file{
        {QStringLiteral("path"), libraryPath},
        {QStringLiteral("description"), latin(lib.version.fileDescription)},
        {QStringLiteral("internalName"), latin(lib.version.internalName)},
        {QStringLiteral("version"), latin(lib.version.fileVersion)},
        {QStringLiteral("selfRegister"), lib.version.selfRegister},
    };
    QJsonObject entry{
        {QStringLiteral("name"), latin(lib.name)},
        {QStringLiteral("version"), versionOf(lib)},
        {QStringLiteral("lcid"), qint64(lib.lcid)},
        {QStringLiteral("target"), latin(lib.target)},
        {QStringLiteral("flags"), flags},
        {QStringLiteral("helpString"), latin(lib.helpString)},
        {QStringLiteral("file"), file},
    };
    const QString listing = QFileInfo(libraryPath).absolutePath() + QLatin1Char('/') + latin(lib.name)
        + QStringLiteral(".idl");
    if (QFile::exists(listing))
        entry.insert(QStringLiteral("listing"), listing);
    return entry;
}

QJsonObject classEntry(const TypeLibraryInfo &lib, const ClassInfo &cls, const QString &libraryPath)
{
    const ToolboxBitmap &bitmap = cls.toolboxBitmap;
    QJsonObject entry{
        {QStringLiteral("name"), latin(cls.name)},
        {QStringLiteral("progId"), latin(cls.progId)},
        {QStringLiteral("library"), libraryPath},
        {QStringLiteral("typeLibrary"), guidToString(lib.libid)},
        {QStringLiteral("version"), versionOf(lib)},
        {QStringLiteral("control"), bool(cls.flags & ClassControl)},
        {QStringLiteral("miscStatus"), qint64(cls.miscStatus)},
        {QStringLiteral("toolboxBitmap"),
         QJsonObject{
             {QStringLiteral("width"), bitmap.width},
             {QStringLiteral("height"), bitmap.height},
             {QStringLiteral("bitsPerPixel"), bitmap.bitsPerPixel},
             {QStringLiteral("png"), QString::fromLatin1(toolboxPng(bitmap).toBase64())},
         }},
    };
    if (cls.defaultInterface)
        entry.insert(QStringLiteral("defaultInterface"), guidToString(cls.defaultInterface->iid));
    if (cls.sourceInterface)
        entry.insert(QStringLiteral("sourceInterface"), guidToString(cls.sourceInterface->iid));
    return entry;
}

QJsonObject interfaceEntry(const TypeLibraryInfo &lib, const InterfaceInfo &iface)
{
    return QJsonObject{
        {QStringLiteral("name"), latin(iface.name)},
        {QStringLiteral("typeLibrary"), guidToString(lib.libid)},
        {QStringLiteral("kind"),
         iface.kind == InterfaceKind::Dual ? QStringLiteral("dual") : QStringLiteral("dispinterface")},
    };
}

} // namespace

QString Registry::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/tarnwick/com-registry.json");
}

void Registry::registerLibrary(const TypeLibraryInfo &lib, const QString &libraryPath)
{
    modify([&](QJsonObject &registry) {
        setEntry(registry, kTypeLibraries, guidToString(lib.libid), typeLibraryEntry(lib, libraryPath));
        for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
            setEntry(registry, kClasses, guidToString(cls->clsid), classEntry(lib, *cls, libraryPath));
            setEntry(registry, kProgIds, latin(cls->progId), guidToString(cls->clsid));
        }
        for (const InterfaceInfo *iface : typesOf<InterfaceInfo>(lib))
            setEntry(registry, kInterfaces, guidToString(iface->iid), interfaceEntry(lib, *iface));
    });
}

void Registry::unregisterLibrary(const TypeLibraryInfo &lib)
{
    modify([&](QJsonObject &registry) {
        setEntry(registry, kTypeLibraries, guidToString(lib.libid), QJsonValue::Undefined);
        for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
            setEntry(registry, kClasses, guidToString(cls->clsid), QJsonValue::Undefined);
            setEntry(registry, kProgIds, latin(cls->progId), QJsonValue::Undefined);
        }
        for (const InterfaceInfo *iface : typesOf<InterfaceInfo>(lib))
            setEntry(registry, kInterfaces, guidToString(iface->iid), QJsonValue::Undefined);
    });
}

std::optional<CLSID> Registry::clsidFromProgId(const QString &progId)
{
    const QJsonObject progIds = section(readFile(), kProgIds);
    for (auto it = progIds.begin(); it != progIds.end(); ++it) {
        if (it.key().compare(progId, Qt::CaseInsensitive) == 0)
            return guidFromString(it.value().toString());
    }
    return std::nullopt;
}

std::optional<QString> Registry::libraryOfClass(REFCLSID clsid)
{
    const QJsonObject entry = section(readFile(), kClasses).value(guidToString(clsid)).toObject();
    const QString library = entry.value(QStringLiteral("library")).toString();
    if (library.isEmpty())
        return std::nullopt;
    return library;
}

std::optional<IID> Registry::sourceInterfaceOfClass(REFCLSID clsid)
{
    const QJsonObject entry = section(readFile(), kClasses).value(guidToString(clsid)).toObject();
    return guidFromString(entry.value(QStringLiteral("sourceInterface")).toString());
}

void Registry::setChangeHook(std::function<void()> hook)
{
    changeHook() = std::move(hook);
}

} // namespace platform::com
