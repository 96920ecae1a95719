#pragma once

#include "platform/read/asyncread.h"
#include "platform/read/internal/cacheentry.h"
#include "platform/read/internal/curlmulti.h"
#include "platform/read/internal/curltransfer.h"
#include "platform/read/internal/headverdict.h"
#include "platform/read/internal/notificationqueue.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>

namespace platform {

class AsyncReadPrivate : public CurlTransfer::Listener {
public:
    explicit AsyncReadPrivate(AsyncRead *q);

    void begin(quint64 startedGeneration);
    // Sends the request for hop: the whole file, or the rest from asked on.
    void request();
    void followRedirect();
    void resume();
    // Hands out the copy taken from the cache.
    void serveCachedCopy();
    bool acceptBody(const ResponseHead &head, const HeadVerdict &verdict);
    void complete();
    // The transfer ended without the whole body: resumed when it broke and
    // the server allows it, else the read fails with description.
    void endTransfer(bool broken, const QString &description);
    void checkStall();
    // Every stallMs: a transfer that brought less than the floor's worth in
    // that time fails as a stalled one does.
    void checkPace();
    void touch();

    void connecting() override;
    void sendingRequest() override;
    bool headReceived(const ResponseHead &head) override;
    bool bodyReceived(const char *data, qsizetype size) override;
    void finished(const CurlTransfer::End &end) override;

    void report(int statusCode, const QString &status);
    // A notification of the read's figures so far.
    AsyncProperty figures(int statusCode, const QString &status) const;
    // Ends the read and makes its completion notification.
    AsyncProperty ending(int statusCode, const QString &status);
    void succeed(const QString &path);
    // The read fails with the run-time error of the number (75 unless said).
    void fail(const QString &description, int error = ErrPathFileAccess);
    // Why the data file can't be written: 61 "Disk full" when the file
    // system is full.
    void refuseWrite();
    // Stops the transfer and removes the read's folder; emits nothing.
    void stop();
    // Removes the read's folder with what is in it, unless handed out.
    void discardReadFolder();

    QString finalPath() const;

    CurlMulti multi;
    NotificationQueue notifications;
    QTimer stallTimer;
    QElapsedTimer sinceActivity;
    QTimer paceTimer;
    // The body bytes that came since the answer's head, and how many of them
    // had come when the pace was last checked.
    qint64 received = 0;
    qint64 receivedAtCheck = 0;

    QString folder;
    int stallMs = AsyncRead::DefaultStallTimeoutMs;
    QString certificateAuthorities;

    // The read in progress.
    bool pending = false;
    quint64 generation = 0;
    QUrl url;
    // The address as the notifications show it.
    QString address;
    int options = 0;
    // At most this many bytes (-1: no limit).
    qint64 maxBytes = -1;
    QString fileName;
    std::optional<CacheEntry> entry;
    // The recorded copy when the read began: the request asks the server
    // to revalidate it, and readFolder holds this read's link of it until
    // the server sends a new copy.
    std::optional<CacheEntry::Copy> cached;
    QString readFolder;
    QFile part;
    qint64 bytesRead = 0;
    qint64 total = -1;
    bool begun = false;
    int redirects = 0;
    int resumptions = 0;
    // Validators of the answer whose body is the file: recorded with the
    // copy, and the first of them sent with If-Range on a resumption.
    QByteArray etag;
    QByteArray lastModified;
    QByteArray rangeValidator;

    // The request in progress.
    QUrl hop;
    qint64 asked = -1;
    std::unique_ptr<CurlTransfer> transfer;
    std::optional<HeadVerdict::Action> action;
    // Body bytes of a redirect or not-modified answer, which are dropped.
    qint64 dropped = 0;
    QByteArray location;
    // Why the answer can't be used; set where curl's own error would say less.
    QString refusal;
    int refusalError = ErrPathFileAccess;
};

} // namespace platform
