#include "platform/com/server/registration.h"

#include "platform/com/runtime/registry.h"
#include "platform/com/typelib/toolboxbitmap.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace platform::com::registration {

namespace {

const QString kClasses = registryfields::classes;
const QString kProgIds = registryfields::progIds;
const QString kTypeLibraries = QStringLiteral("typeLibraries");
const QString kInterfaces = QStringLiteral("interfaces");

void setEntry(QJsonObject &registry, const QString &sectionName, const QString &key, const QJsonValue &value)
{
    QJsonObject s = registry.value(sectionName).toObject();
    if (value.isUndefined())
        s.remove(key);
    else
        s.insert(key, value);
    if (s.isEmpty())
        registry.remove(sectionName);
    else
        registry.insert(sectionName, s);
}

QString latin(const char *text)
{
    return QString::fromLatin1(text);
}

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
    const QString listing =
        QFileInfo(libraryPath).absolutePath() + QLatin1Char('/') + latin(lib.name) + QStringLiteral(".idl");
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
        {QString(registryfields::library), libraryPath},
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
        entry.insert(registryfields::sourceInterface, guidToString(cls.sourceInterface->iid));
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

void registerLibrary(const TypeLibraryInfo &lib, const QString &libraryPath, const QString &registryPath)
{
    Registry::modify(registryPath, [&](QJsonObject &registry) {
        setEntry(registry, kTypeLibraries, guidToString(lib.libid), typeLibraryEntry(lib, libraryPath));
        for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
            setEntry(registry, kClasses, guidToString(cls->clsid), classEntry(lib, *cls, libraryPath));
            setEntry(registry, kProgIds, latin(cls->progId), guidToString(cls->clsid));
        }
        for (const InterfaceInfo *iface : typesOf<InterfaceInfo>(lib))
            setEntry(registry, kInterfaces, guidToString(iface->iid), interfaceEntry(lib, *iface));
    });
}

void unregisterLibrary(const TypeLibraryInfo &lib, const QString &registryPath)
{
    Registry::modify(registryPath, [&](QJsonObject &registry) {
        setEntry(registry, kTypeLibraries, guidToString(lib.libid), QJsonValue::Undefined);
        for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
            setEntry(registry, kClasses, guidToString(cls->clsid), QJsonValue::Undefined);
            setEntry(registry, kProgIds, latin(cls->progId), QJsonValue::Undefined);
        }
        for (const InterfaceInfo *iface : typesOf<InterfaceInfo>(lib))
            setEntry(registry, kInterfaces, guidToString(iface->iid), QJsonValue::Undefined);
    });
}

} // namespace platform::com::registration
