#include "platform/com/runtime/registry.h"

#include "platform/system/files.h"
#include "platform/core/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <functional>

namespace platform::com {

namespace {

namespace fields = registryfields;
const QString kFileName = QStringLiteral("/tarnwick/com-registry.json");
// How long a change waits for other writers before it gives up.
constexpr int kLockWaitMs = 30000;

platform::RuntimeError registryError(const QString &what, const QString &path)
{
    return platform::RuntimeError(platform::ErrPathFileAccess, what + QStringLiteral(": ") + path);
}

QJsonObject readFile(const QString &path)
{
    // Something other than a file there is not ours to read or replace.
    platform::files::requireRegularFileOrNothing(path);
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw registryError(QStringLiteral("Cannot read the class registry"), path);
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        throw registryError(QStringLiteral("The class registry is damaged"), path);
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

void writeFile(const QString &path, const QJsonObject &registry)
{
    if (isEmpty(registry)) {
        if (QFile::exists(path) && !QFile::remove(path))
            throw registryError(QStringLiteral("Cannot write the class registry"), path);
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw registryError(QStringLiteral("Cannot write the class registry"), path);
    file.write(QJsonDocument(registry).toJson());
    if (!file.commit())
        throw registryError(QStringLiteral("Cannot write the class registry"), path);
}

std::function<void()> &changeHook()
{
    static std::function<void()> hook;
    return hook;
}

QStringList lookupOrder()
{
    return QStringList{Registry::filePath()} + Registry::systemFilePaths();
}

// The value of the first entry of the named section whose key matches, the
// per-user file first.
QJsonValue lookUp(const QString &sectionName, const std::function<bool(const QString &)> &matches)
{
    for (const QString &path : lookupOrder()) {
        const QJsonObject section = readFile(path).value(sectionName).toObject();
        for (auto it = section.begin(); it != section.end(); ++it) {
            if (matches(it.key()))
                return it.value();
        }
    }
    return QJsonValue::Undefined;
}

QJsonObject classEntry(REFCLSID clsid)
{
    const QString key = guidToString(clsid);
    return lookUp(fields::classes, [&](const QString &k) { return k == key; }).toObject();
}

bool canCreateIn(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

QStringList systemDataDirs(const QByteArray &xdgDataDirs)
{
    QStringList dirs;
    for (const QString &dir : QString::fromLocal8Bit(xdgDataDirs).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir))
            dirs.append(QDir::cleanPath(dir));
    }
    if (dirs.isEmpty())
        dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    return dirs;
}

QString Registry::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + kFileName;
}

QStringList Registry::systemFilePaths()
{
    QStringList paths;
    for (const QString &dir : systemDataDirs(qgetenv("XDG_DATA_DIRS")))
        paths.append(dir + kFileName);
    return paths;
}

QString Registry::systemFilePath(const QString &dataDir)
{
    if (!dataDir.isEmpty())
        return QDir::cleanPath(QDir(dataDir).absolutePath()) + kFileName;
    for (const QString &path : systemFilePaths()) {
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (folder.exists() ? canCreateIn(folder.filePath()) : canCreateIn(folder.absolutePath()))
            return path;
    }
    throw platform::RuntimeError(platform::ErrPermissionDenied,
                                 QStringLiteral("No system-wide class registry can be written here: ")
                                     + systemFilePaths().join(QLatin1Char(':')));
}

std::optional<CLSID> Registry::clsidFromProgId(const QString &progId)
{
    const QJsonValue clsid =
        lookUp(fields::progIds, [&](const QString &k) { return k.compare(progId, Qt::CaseInsensitive) == 0; });
    if (clsid.isUndefined())
        return std::nullopt;
    return guidFromString(clsid.toString());
}

std::optional<QString> Registry::libraryOfClass(REFCLSID clsid)
{
    const QString library = classEntry(clsid).value(fields::library).toString();
    if (library.isEmpty())
        return std::nullopt;
    return library;
}

std::optional<IID> Registry::sourceInterfaceOfClass(REFCLSID clsid)
{
    return guidFromString(classEntry(clsid).value(fields::sourceInterface).toString());
}

// The folder stays even when the registry goes: it holds the lock file that
// other writers may be waiting on.
void Registry::modify(const QString &path, const std::function<void(QJsonObject &)> &change)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw registryError(QStringLiteral("Cannot create the folder of the class registry"), path);
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        throw registryError(lock.error() == QLockFile::LockFailedError
                                ? QStringLiteral("The class registry is locked")
                                : QStringLiteral("Cannot create the lock file of the class registry"),
                            path);
    }
    QJsonObject registry = readFile(path);
    change(registry);
    // A copy: the hook may replace itself.
    if (const std::function<void()> hook = changeHook())
        hook();
    writeFile(path, registry);
}

void Registry::setChangeHook(std::function<void()> hook)
{
    changeHook() = std::move(hook);
}

} // namespace platform::com
