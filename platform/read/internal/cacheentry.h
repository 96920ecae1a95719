#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace platform {

// The cache of one address in the read service's folder: a folder named
// after the address, holding one folder per read (so reads of the address
// at the same time never share a file) and the record of the last complete
// copy that came with validators, for a conditional request next time. The
// record is the entry's own hard link of the file (under ".record"), never
// a file handed to a caller, who may move or delete that freely.
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
    // can't, with why in error.
    QString openPart(QFile &part, const QString &fileName, QString &error) const;
    // Puts the recorded copy as fileName into a new folder for one read: a
    // hard link of it, else a copy. Returns the folder, or nothing when it
    // can't, with why in error.
    QString handOut(const Copy &record, const QString &fileName, QString &error) const;
    // Removes a read's folder and then its entry's, each only when empty.
    static void removeIfEmpty(const QString &readFolder);
    // Removes, under every entry of the cache folder, the read folders that
    // reads of processes no longer running left (a killed run's partial
    // file or unplaced copy), and entries left empty. A read folder is
    // named after the process that made it.
    static void removeDeadReads(const QString &cacheFolder);

    // The recorded copy, when its file is still there.
    std::optional<Copy> lastCopy() const;
    // Records a complete copy in place of the last one. A copy without
    // validators, or one that can't be linked (a file system without hard
    // links), leaves no record: the next read simply fetches the whole file.
    void record(const Copy &copy) const;

private:
    // Makes a new folder for one read and has fill put the file into it.
    // Folders that earlier reads left empty (their file taken) go first.
    QString makeReadFolder(const std::function<bool(const QString &folder, QString &error)> &fill,
                           QString &error) const;
    QString validatorsPath() const;
    QString recordsFolder() const;
    // A new hard link of path under recordsFolder(), named relative to it;
    // nothing when it can't be made.
    QString linkRecord(const QString &path) const;
    bool writeValidators(const QString &record, const Copy &copy) const;
    // Removes every record but the one named (relative to recordsFolder()).
    void keepOnly(const QString &record) const;

    QString m_folder;
};

} // namespace platform
