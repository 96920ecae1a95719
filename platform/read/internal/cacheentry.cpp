#include "platform/read/internal/cacheentry.h"

#include "platform/system/process.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

namespace platform {

namespace {

bool hardLink(const QString &from, const QString &to)
{
    std::error_code failed;
    std::filesystem::create_hard_link(std::filesystem::path(from.toStdU16String()),
                                      std::filesystem::path(to.toStdU16String()), failed);
    return !failed;
}

// The size and modification time of a file, which a write changes.
QJsonValue stampOf(const QFileInfo &file)
{
    return QStringLiteral("%1@%2").arg(file.size()).arg(file.lastModified().toMSecsSinceEpoch());
}

} // namespace

CacheEntry::CacheEntry(const QString &cacheFolder, const QUrl &url)
    : m_folder(cacheFolder + QLatin1Char('/')
               + QString::fromLatin1(QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Sha1).toHex().left(16)))
{
}

QString CacheEntry::validatorsPath() const
{
    return m_folder + QStringLiteral("/.validators");
}

QString CacheEntry::recordsFolder() const
{
    return m_folder + QStringLiteral("/.record");
}

QString CacheEntry::makeReadFolder(const std::function<bool(const QString &folder, QString &error)> &fill,
                                   QString &error) const
{
    const QDir entry(m_folder);
    for (const QString &name : entry.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        entry.rmdir(name);
    // Twice: another program tidying up may remove the folder, or the
    // entry's, before the file is in it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QDir().mkpath(m_folder);
        QTemporaryDir folder(m_folder + QStringLiteral("/%1-XXXXXX").arg(QCoreApplication::applicationPid()));
        if (!folder.isValid()) {
            error = folder.errorString();
            continue;
        }
        if (fill(folder.path(), error)) {
            folder.setAutoRemove(false);
            return folder.path();
        }
    }
    return QString();
}

QString CacheEntry::openPart(QFile &part, const QString &fileName, QString &error) const
{
    return makeReadFolder(
        [&](const QString &folder, QString &why) {
            part.setFileName(folder + QLatin1Char('/') + fileName + QStringLiteral(".part"));
            if (part.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
                return true;
            why = part.errorString();
            return false;
        },
        error);
}

QString CacheEntry::handOut(const Copy &record, const QString &fileName, QString &error) const
{
    return makeReadFolder(
        [&](const QString &folder, QString &why) {
            const QString path = folder + QLatin1Char('/') + fileName;
            if (hardLink(record.path, path))
                return true;
            QFile source(record.path);
            if (source.copy(path))
                return true;
            why = source.errorString();
            return false;
        },
        error);
}

void CacheEntry::removeDeadReads(const QString &cacheFolder)
{
    const QDir cache(cacheFolder);
    for (const QString &entry : cache.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir folder(cache.filePath(entry));
        for (const QString &read : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            bool number = false;
            const qint64 owner = read.section(QLatin1Char('-'), 0, 0).toLongLong(&number);
            if (number && !process::isRunning(owner))
                QDir(folder.filePath(read)).removeRecursively();
        }
        cache.rmdir(entry);
    }
}

void CacheEntry::removeIfEmpty(const QString &readFolder)
{
    QDir().rmdir(readFolder);
    QDir().rmdir(QFileInfo(readFolder).path());
}

std::optional<CacheEntry::Copy> CacheEntry::lastCopy() const
{
    QFile file(validatorsPath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
    const QString name = record.value(QLatin1String("record")).toString();
    // Only a file of this entry's records, never a path that leads elsewhere.
    if (name.isEmpty() || name.contains(QLatin1String("..")) || QDir::isAbsolutePath(name))
        return std::nullopt;
    Copy copy{recordsFolder() + QLatin1Char('/') + name, record.value(QLatin1String("etag")).toString().toLatin1(),
              record.value(QLatin1String("lastModified")).toString().toLatin1()};
    // A placed file shares the record: written to in place, it is no longer
    // what the validators name.
    const QFileInfo recorded(copy.path);
    // Only the record itself, never what a link put in its place leads to.
    if (recorded.isSymLink() || !recorded.isFile() || record.value(QLatin1String("stamp")) != stampOf(recorded))
        return std::nullopt;
    return copy;
}

void CacheEntry::record(const Copy &copy) const
{
    QString record;
    // Without a validator the copy could never be revalidated.
    if (!copy.etag.isEmpty() || !copy.lastModified.isEmpty())
        record = linkRecord(copy.path);
    if (record.isEmpty() || !writeValidators(record, copy)) {
        QFile::remove(validatorsPath());
        record.clear();
    }
    keepOnly(record);
}

QString CacheEntry::linkRecord(const QString &path) const
{
    QDir().mkpath(recordsFolder());
    QTemporaryDir folder(recordsFolder() + QStringLiteral("/XXXXXX"));
    const QString link = folder.filePath(QFileInfo(path).fileName());
    if (!folder.isValid() || !hardLink(path, link))
        return QString();
    folder.setAutoRemove(false);
    return QDir(recordsFolder()).relativeFilePath(link);
}

bool CacheEntry::writeValidators(const QString &record, const Copy &copy) const
{
    QJsonObject validators;
    validators.insert(QLatin1String("record"), record);
    validators.insert(QLatin1String("etag"), QString::fromLatin1(copy.etag));
    validators.insert(QLatin1String("lastModified"), QString::fromLatin1(copy.lastModified));
    validators.insert(QLatin1String("stamp"), stampOf(QFileInfo(recordsFolder() + QLatin1Char('/') + record)));
    QSaveFile file(validatorsPath());
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(validators).toJson(QJsonDocument::Compact)) >= 0
        && file.commit();
}

void CacheEntry::keepOnly(const QString &record) const
{
    // Only the entry's own links are in there: an older record, or one a
    // read at the same time made and lost to this one.
    const QDir records(recordsFolder());
    const QString kept = record.section(QLatin1Char('/'), 0, 0);
    for (const QString &name : records.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        if (name != kept)
            QDir(records.filePath(name)).removeRecursively();
    QDir(m_folder).rmdir(QStringLiteral(".record"));
}

} // namespace platform
