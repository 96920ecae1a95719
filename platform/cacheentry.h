#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QUrl>
#include <optional>

namespace platform {

// The cache of one address in the read service's folder: a folder named
// after the address, holding one folder per read (so reads of the address
// at the same time never share a file) and a record of the last complete
// copy with its validators, for a conditional request next time.
class CacheEntry {
public:
    // A complete copy of the address and the validators it came with.
    struct Copy {
        QString path;
        QByteArray etag;
        QByteArray lastModified;
    };

    CacheEntry(const QString &cacheFolder, const QUrl &url);

    QString folder() const { return m_folder; }
    // Makes a new folder for one read and opens part in it, named fileName
    // plus ".part", for writing. Returns the folder, or nothing when it
    // can't, with why in error. Folders that earlier reads left empty (their
    // file taken) go first.
    QString openPart(QFile &part, const QString &fileName, QString &error) const;
    // Removes a read's folder and then its entry's, each only when empty.
    static void removeIfEmpty(const QString &readFolder);

    // The last complete copy, when the file is still there.
    std::optional<Copy> lastCopy() const;
    // Makes copy the last complete one. Without the record the next read
    // simply fetches the whole file, so a failure to write it is ignored.
    void record(const Copy &copy) const;

private:
    QString recordPath() const;

    QString m_folder;
};

} // namespace platform
