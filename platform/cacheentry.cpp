#include "cacheentry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTemporaryDir>

namespace platform {

CacheEntry::CacheEntry(const QString &cacheFolder, const QUrl &url)
    : m_folder(cacheFolder + QLatin1Char('/')
               + QString::fromLatin1(QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Sha1).toHex().left(16)))
{
}

QString CacheEntry::recordPath() const
{
    return m_folder + QStringLiteral("/.validators");
}

QString CacheEntry::openPart(QFile &part, const QString &fileName, QString &error) const
{
    const QDir entry(m_folder);
    for (const QString &name : entry.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        entry.rmdir(name);
    // Twice: another program tidying up may remove the folder, or the
    // entry's, before the file is in it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QDir().mkpath(m_folder);
        QTemporaryDir folder(m_folder + QStringLiteral("/XXXXXX"));
        if (!folder.isValid()) {
            error = folder.errorString();
            continue;
        }
        folder.setAutoRemove(false);
        part.setFileName(folder.filePath(fileName + QStringLiteral(".part")));
        if (part.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return folder.path();
        error = part.errorString();
        QDir().rmdir(folder.path());
    }
    return QString();
}

void CacheEntry::removeIfEmpty(const QString &readFolder)
{
    QDir().rmdir(readFolder);
    QDir().rmdir(QFileInfo(readFolder).path());
}

std::optional<CacheEntry::Copy> CacheEntry::lastCopy() const
{
    QFile file(recordPath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
    const QString name = record.value(QLatin1String("file")).toString();
    // Only a file of this entry, never a path that leads elsewhere.
    if (name.isEmpty() || name.contains(QLatin1String("..")) || QDir::isAbsolutePath(name))
        return std::nullopt;
    Copy copy{m_folder + QLatin1Char('/') + name, record.value(QLatin1String("etag")).toString().toLatin1(),
              record.value(QLatin1String("lastModified")).toString().toLatin1()};
    if (!QFileInfo(copy.path).isFile())
        return std::nullopt;
    return copy;
}

void CacheEntry::record(const Copy &copy) const
{
    QJsonObject record;
    record.insert(QLatin1String("file"), QDir(m_folder).relativeFilePath(copy.path));
    record.insert(QLatin1String("etag"), QString::fromLatin1(copy.etag));
    record.insert(QLatin1String("lastModified"), QString::fromLatin1(copy.lastModified));
    QSaveFile file(recordPath());
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(record).toJson(QJsonDocument::Compact));
        file.commit();
    }
}

} // namespace platform
