#include "asyncread.h"
#include "asyncread_p.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QScopeGuard>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace platform {

namespace {

// Enough to keep the disk busy, small enough that a slow event loop never
// lets the transfer pile up in memory.
constexpr qint64 kChunkBytes = 256 * 1024;
constexpr qint64 kReplyBufferBytes = 1024 * 1024;

const QString kValidatorsFile = QStringLiteral(".validators");

bool isSupportedScheme(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return true;
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

// The data file keeps the address's own file name where it makes a plain,
// visible name; anything else is stored as "download".
QString localNameFor(const QUrl &url)
{
    const QString name = url.fileName();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QChar(0)) || name.size() > 200)
        return QStringLiteral("download");
    return name;
}

QString describeTimeout(int ms)
{
    if (ms % 1000 == 0)
        return QStringLiteral("No data received for %1 seconds").arg(ms / 1000);
    return QStringLiteral("No data received for %1 milliseconds").arg(ms);
}

bool isLoopbackHost(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

QList<QNetworkProxy> SystemProxyFactory::queryProxy(const QNetworkProxyQuery &query)
{
    if (isLoopbackHost(query.peerHostName()))
        return {QNetworkProxy(QNetworkProxy::NoProxy)};
    return systemProxyForQuery(query);
}

AsyncReadPrivate::AsyncReadPrivate(AsyncRead *q)
    : q(q)
{
    stallTimer.setSingleShot(true);
    QObject::connect(&stallTimer, &QTimer::timeout, q, [this] { onStalled(); });
}

QString AsyncReadPrivate::entryFolder() const
{
    const QByteArray key = QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Sha1).toHex().left(16);
    return folder + QLatin1Char('/') + QString::fromLatin1(key);
}

QString AsyncReadPrivate::validatorsPath() const
{
    return entryFolder() + QLatin1Char('/') + kValidatorsFile;
}

void AsyncReadPrivate::report(int statusCode, const QString &status)
{
    AsyncProperty notification;
    notification.BytesRead = bytesRead;
    notification.BytesMax = bytesMax;
    notification.StatusCode = statusCode;
    notification.Status = status;
    post(notification, false);
}

void AsyncReadPrivate::post(const AsyncProperty &notification, bool completion)
{
    outbox.append({notification, completion});
    if (!deliveryScheduled) {
        deliveryScheduled = true;
        QMetaObject::invokeMethod(q, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void AsyncReadPrivate::deliver()
{
    deliveryScheduled = false;
    // A listener that dispatches events may let the transfer go on inside a
    // notification; what that produces waits its turn in the outbox.
    if (delivering)
        return;
    delivering = true;
    const auto done = qScopeGuard([this] { delivering = false; });
    while (!outbox.isEmpty()) {
        const Outgoing next = outbox.takeFirst();
        if (next.completion)
            emit q->completed(next.notification);
        else
            emit q->progress(next.notification);
    }
}

void AsyncReadPrivate::begin(quint64 startedGeneration)
{
    if (!pending || startedGeneration != generation)
        return;
    report(AsyncStatusCodeFindingResource, url.toDisplayString());
    if (!(options & AsyncRead::Resynchronize) && QFileInfo(finalPath).isFile())
        serveCachedCopy();
    else
        sendRequest();
}

void AsyncReadPrivate::serveCachedCopy()
{
    bytesRead = bytesMax = QFileInfo(finalPath).size();
    report(AsyncStatusCodeUsingCachedCopy, finalPath);
    succeed(finalPath);
}

bool AsyncReadPrivate::addConditions(QNetworkRequest &request) const
{
    if (!QFileInfo(finalPath).isFile())
        return false;
    QFile file(validatorsPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject validators = QJsonDocument::fromJson(file.readAll()).object();
    if (validators.value(QLatin1String("file")).toString() != fileName)
        return false;
    const QByteArray etag = validators.value(QLatin1String("etag")).toString().toLatin1();
    const QByteArray modified = validators.value(QLatin1String("lastModified")).toString().toLatin1();
    if (!etag.isEmpty())
        request.setRawHeader("If-None-Match", etag);
    if (!modified.isEmpty())
        request.setRawHeader("If-Modified-Since", modified);
    return !etag.isEmpty() || !modified.isEmpty();
}

void AsyncReadPrivate::saveValidators() const
{
    const QByteArray etag = reply->rawHeader("ETag");
    const QByteArray modified = reply->rawHeader("Last-Modified");
    if (etag.isEmpty() && modified.isEmpty()) {
        QFile::remove(validatorsPath());
        return;
    }
    QJsonObject validators;
    validators.insert(QLatin1String("file"), fileName);
    validators.insert(QLatin1String("etag"), QString::fromLatin1(etag));
    validators.insert(QLatin1String("lastModified"), QString::fromLatin1(modified));
    // Without the validators the next read simply fetches the whole file.
    QFile file(validatorsPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QJsonDocument(validators).toJson(QJsonDocument::Compact));
}

void AsyncReadPrivate::sendRequest()
{
    if (!manager) {
        manager = new QNetworkAccessManager(q);
        manager->setProxyFactory(new SystemProxyFactory);
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(AsyncRead::MaxRedirects);
    // The file is stored byte for byte as the server holds it.
    request.setRawHeader("Accept-Encoding", "identity");
    conditional = (options & AsyncRead::Resynchronize) && addConditions(request);

    reply = manager->get(request);
    reply->setReadBufferSize(kReplyBufferBytes);
    QNetworkReply *r = reply;
    QObject::connect(r, &QNetworkReply::socketStartedConnecting, q, [this] {
        stallTimer.start(stallMs);
        report(AsyncStatusCodeConnecting, url.host() + (url.port() >= 0 ? QStringLiteral(":%1").arg(url.port()) : QString()));
    });
    QObject::connect(r, &QNetworkReply::requestSent, q, [this] {
        stallTimer.start(stallMs);
        report(AsyncStatusCodeSendingRequest, url.toDisplayString());
    });
    QObject::connect(r, &QNetworkReply::redirected, q, [this](const QUrl &to) {
        stallTimer.start(stallMs);
        report(AsyncStatusCodeRedirecting, to.toDisplayString());
    });
    QObject::connect(r, &QNetworkReply::metaDataChanged, q, [this] { onMetaData(); });
    QObject::connect(r, &QNetworkReply::readyRead, q, [this] { onReadyRead(); });
    QObject::connect(r, &QNetworkReply::finished, q, [this] { onFinished(); });
    stallTimer.start(stallMs);
}

void AsyncReadPrivate::onMetaData(bool finished)
{
    if (metaHandled || !reply)
        return;
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 200;
    // A redirect that the manager follows says nothing about the file yet.
    if (!finished && status >= 300 && status < 400 && reply->hasRawHeader("Location"))
        return;
    stallTimer.start(stallMs);
    metaHandled = true;
    if (status == 304 && conditional) {
        notModified = true;
        return;
    }
    if (status < 200 || status > 299) {
        // The answer runs to its end (its body is dropped): aborting a reply
        // in the middle of its error leaves the manager confused.
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        refusal = QStringLiteral("The server answered %1 %2").arg(status).arg(reason).trimmed();
        return;
    }
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid()) {
        announcedLength = length.toLongLong();
        bytesMax = announcedLength;
    }
    part = std::make_unique<QTemporaryFile>(entryFolder() + QLatin1Char('/') + fileName + QStringLiteral(".XXXXXX.part"));
    part->setAutoRemove(false);
    if (!part->open()) {
        fail(QStringLiteral("Can't create a file in %1: %2").arg(entryFolder(), part->errorString()));
        return;
    }
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    if (!type.isEmpty())
        report(AsyncStatusCodeMIMETypeAvailable, type);
    report(AsyncStatusCodeCacheFileNameAvailable, finalPath);
}

void AsyncReadPrivate::onReadyRead()
{
    if (!reply)
        return;
    if (!metaHandled) {
        onMetaData();
        if (!pending || !metaHandled)
            return;
    }
    if (!part) {
        // Nothing of a refusal or a not-modified answer is kept.
        reply->skip(reply->bytesAvailable());
        return;
    }
    qint64 received = 0;
    for (;;) {
        const qint64 n = reply->read(buffer.data(), qint64(buffer.size()));
        if (n <= 0)
            break;
        if (part->write(buffer.data(), n) != n) {
            fail(QStringLiteral("Can't write %1: %2").arg(finalPath, part->errorString()));
            return;
        }
        received += n;
    }
    if (received == 0)
        return;
    stallTimer.start(stallMs);
    const bool first = bytesRead == 0;
    bytesRead += received;
    report(first ? AsyncStatusCodeBeginDownloadData : AsyncStatusCodeDownloadingData, url.toDisplayString());
}

void AsyncReadPrivate::onFinished()
{
    if (!pending || !reply)
        return;
    stallTimer.stop();
    const QNetworkReply::NetworkError error = reply->error();
    if (error == QNetworkReply::NoError || reply->bytesAvailable() > 0)
        onReadyRead();
    if (!pending)
        return;
    if (error == QNetworkReply::NoError && !metaHandled)
        onMetaData(true);
    if (!pending)
        return;
    if (!refusal.isEmpty()) {
        fail(refusal);
        return;
    }
    if (error != QNetworkReply::NoError) {
        QString description;
        switch (error) {
        case QNetworkReply::TooManyRedirectsError:
            description = QStringLiteral("More than %1 redirects").arg(AsyncRead::MaxRedirects);
            break;
        case QNetworkReply::InsecureRedirectError:
            description = QStringLiteral("Refused a redirect from https to http");
            break;
        default:
            description = reply->errorString();
            if (bytesRead > 0)
                description += QStringLiteral(" (%1 of %2 bytes received)").arg(bytesRead).arg(bytesMax);
            break;
        }
        fail(description);
        return;
    }
    if (notModified) {
        stop();
        serveCachedCopy();
        return;
    }
    if (announcedLength >= 0 && bytesRead < announcedLength) {
        fail(QStringLiteral("The connection ended after %1 of %2 bytes").arg(bytesRead).arg(announcedLength));
        return;
    }
    if (!part->flush()) {
        fail(QStringLiteral("Can't write %1: %2").arg(finalPath, part->errorString()));
        return;
    }
    part->close();
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(part->fileName()).toStdString(),
                            QFile::encodeName(finalPath).toStdString(), ec);
    if (ec) {
        fail(QStringLiteral("Can't write %1: %2").arg(finalPath, QString::fromStdString(ec.message())));
        return;
    }
    part.reset();
    saveValidators();
    report(AsyncStatusCodeEndDownloadData, url.toDisplayString());
    succeed(finalPath);
}

void AsyncReadPrivate::onStalled()
{
    if (pending)
        fail(describeTimeout(stallMs));
}

void AsyncReadPrivate::stop()
{
    stallTimer.stop();
    if (reply) {
        QNetworkReply *r = reply;
        reply = nullptr;
        QObject::disconnect(r, nullptr, q, nullptr);
        if (!r->isFinished())
            r->abort();
        r->deleteLater();
    }
    if (part) {
        part->remove();
        part.reset();
    }
}

AsyncProperty AsyncReadPrivate::ending(int statusCode, const QString &status)
{
    stop();
    pending = false;
    AsyncProperty notification;
    notification.BytesRead = bytesRead;
    notification.BytesMax = bytesMax;
    notification.StatusCode = statusCode;
    notification.Status = status;
    return notification;
}

void AsyncReadPrivate::succeed(const QString &path)
{
    AsyncProperty notification = ending(AsyncStatusCodeEndDownloadData, url.toDisplayString());
    notification.localFile = path;
    post(notification, true);
}

void AsyncReadPrivate::fail(const QString &description)
{
    AsyncProperty notification = ending(AsyncStatusCodeError, description);
    notification.failure = RuntimeError(ErrPathFileAccess, description);
    post(notification, true);
}

AsyncRead::AsyncRead(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<AsyncReadPrivate>(this))
{
    d->folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/downloads");
}

AsyncRead::~AsyncRead()
{
    if (d->pending)
        d->stop();
    d->outbox.clear();
}

void AsyncRead::start(const QString &address, int options)
{
    if (isPending())
        throw RuntimeError(ErrInvalidCall, QStringLiteral("A read is already in progress"));
    const QUrl url(address, QUrl::StrictMode);
    if (address.trimmed().isEmpty() || !url.isValid() || url.isRelative() || !isSupportedScheme(url))
        throw RuntimeError(ErrInvalidCall, QStringLiteral("Can't read the address \"%1\"").arg(address));

    d->url = url;
    d->options = options;
    d->fileName = localNameFor(url);
    d->finalPath = d->entryFolder() + QLatin1Char('/') + d->fileName;
    if (!QDir().mkpath(d->entryFolder()))
        throw RuntimeError(ErrPathFileAccess, QStringLiteral("Can't create the folder %1").arg(d->entryFolder()));
    if (d->buffer.empty())
        d->buffer.resize(kChunkBytes);

    d->pending = true;
    d->bytesRead = d->bytesMax = 0;
    d->announcedLength = -1;
    d->metaHandled = d->conditional = d->notModified = false;
    d->refusal.clear();
    const quint64 generation = ++d->generation;
    // Notifications only ever come from the event loop, never from inside start().
    QMetaObject::invokeMethod(this, [this, generation] { d->begin(generation); }, Qt::QueuedConnection);
}

void AsyncRead::cancel()
{
    if (!isPending())
        throw RuntimeError(ErrInvalidCall, QStringLiteral("No read is in progress"));
    d->stop();
    d->pending = false;
    d->outbox.clear();
}

bool AsyncRead::isPending() const
{
    // Until its completion has gone out, the read is not over for anyone.
    return d->pending || !d->outbox.isEmpty();
}

QString AsyncRead::cacheFolder() const
{
    return d->folder;
}

void AsyncRead::setCacheFolder(const QString &folder)
{
    d->folder = folder;
}

int AsyncRead::stallTimeoutMs() const
{
    return d->stallMs;
}

void AsyncRead::setStallTimeoutMs(int ms)
{
    d->stallMs = ms;
}

} // namespace platform
