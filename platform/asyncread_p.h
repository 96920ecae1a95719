#pragma once

#include "asyncread.h"

#include <QNetworkProxyFactory>
#include <QPointer>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

namespace platform {

// Loopback addresses never go through a proxy; everything else follows the
// system's proxy settings.
class SystemProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override;
};

class AsyncReadPrivate {
public:
    explicit AsyncReadPrivate(AsyncRead *q);

    void begin(quint64 generation);
    void sendRequest();
    void serveCachedCopy();
    // finished: the reply has ended, so a redirect in it was not followed.
    void onMetaData(bool finished = false);
    void onReadyRead();
    void onFinished();
    void onStalled();

    // Notifications go out in order from the event loop, never from inside
    // the service's own handling of the transfer.
    void report(int statusCode, const QString &status);
    void post(const AsyncProperty &notification, bool completion);
    void deliver();
    // Ends the read and makes its completion notification.
    AsyncProperty ending(int statusCode, const QString &status);
    void succeed(const QString &path);
    void fail(const QString &description);
    // Stops the transfer and removes the partial file; emits nothing.
    void stop();

    QString entryFolder() const;
    QString validatorsPath() const;
    void saveValidators() const;
    bool addConditions(QNetworkRequest &request) const;

    AsyncRead *q;
    QNetworkAccessManager *manager = nullptr;
    QPointer<QNetworkReply> reply;
    std::unique_ptr<QTemporaryFile> part;
    QTimer stallTimer;
    std::vector<char> buffer;

    struct Outgoing {
        AsyncProperty notification;
        bool completion;
    };
    QList<Outgoing> outbox;
    bool deliveryScheduled = false;
    bool delivering = false;

    QString folder;
    int stallMs = AsyncRead::DefaultStallTimeoutMs;

    // The read in progress.
    bool pending = false;
    quint64 generation = 0;
    QUrl url;
    int options = 0;
    QString fileName;
    QString finalPath;
    qint64 bytesRead = 0;
    qint64 bytesMax = 0;
    qint64 announcedLength = -1;
    bool metaHandled = false;
    bool conditional = false;
    bool notModified = false;
    // Why the server's answer can't be used (an HTTP status outside 2xx).
    QString refusal;
};

} // namespace platform
