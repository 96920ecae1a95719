#include "platform/read/asyncread.h"
#include "platform/read/internal/asyncread_p.h"
#include "platform/system/files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

namespace {

constexpr qint64 kMaxDroppedBytes = 64 * 1024;

bool isNetworkScheme(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

bool isSupportedScheme(const QUrl &url)
{
    return url.scheme().toLower() == QLatin1String("file") || (isNetworkScheme(url) && !url.host().isEmpty());
}

// The data file keeps the address's own file name (what follows its last
// slash or backslash) where that makes a plain, visible name; anything else
// is stored as "download".
QString localNameFor(const QUrl &url)
{
    QString name = url.fileName();
    name = name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QChar(0)) || name.size() > 200)
        return QStringLiteral("download");
    return name;
}

QString hostAndPort(const QUrl &url)
{
    return url.host() + (url.port() >= 0 ? QStringLiteral(":%1").arg(url.port()) : QString());
}

QString describeTimeout(int ms)
{
    if (ms % 1000 == 0)
        return QStringLiteral("No data received for %1 seconds").arg(ms / 1000);
    return QStringLiteral("No data received for %1 milliseconds").arg(ms);
}

QString describePace(int ms)
{
    return QStringLiteral("Less than %1 bytes a second for %2")
        .arg(AsyncRead::MinimumBytesPerSecond)
        .arg(ms % 1000 == 0 ? QStringLiteral("%1 seconds").arg(ms / 1000) : QStringLiteral("%1 milliseconds").arg(ms));
}

QString describeBytes(qint64 bytesRead, qint64 total)
{
    return total >= 0 ? QStringLiteral("%1 of %2 bytes").arg(bytesRead).arg(total)
                      : QStringLiteral("%1 bytes").arg(bytesRead);
}

} // namespace

AsyncReadPrivate::AsyncReadPrivate(AsyncRead *q)
    : notifications([q](const AsyncProperty &notification, bool completion) {
        if (completion)
            emit q->completed(notification);
        else
            emit q->progress(notification);
    })
{
    stallTimer.setSingleShot(true);
    QObject::connect(&stallTimer, &QTimer::timeout, q, [this] { checkStall(); });
    QObject::connect(&paceTimer, &QTimer::timeout, q, [this] { checkPace(); });
}

QString AsyncReadPrivate::finalPath() const
{
    return readFolder + QLatin1Char('/') + fileName;
}

void AsyncReadPrivate::report(int statusCode, const QString &status)
{
    notifications.post(figures(statusCode, status), false);
}

AsyncProperty AsyncReadPrivate::figures(int statusCode, const QString &status) const
{
    AsyncProperty notification;
    notification.BytesRead = bytesRead;
    notification.BytesMax = qMax<qint64>(total, 0);
    notification.StatusCode = statusCode;
    notification.Status = status;
    return notification;
}

void AsyncReadPrivate::touch()
{
    sinceActivity.start();
}

void AsyncReadPrivate::begin(quint64 startedGeneration)
{
    if (!pending || startedGeneration != generation)
        return;
    report(AsyncStatusCodeFindingResource, address);
    // curl reads a local file in one blocking pass to its end: a FIFO would
    // hang the event loop and /dev/zero fill the disk.
    if (url.isLocalFile()) {
        try {
            files::requireRegularFileOrNothing(url.toLocalFile());
        } catch (const RuntimeError &e) {
            fail(e.description());
            return;
        }
    }
    cached = entry->lastCopy();
    if (cached) {
        // This read's own link of the record, taken at once: a newer copy
        // that another read records meanwhile can't take it away.
        QString error;
        readFolder = entry->handOut(*cached, fileName, error);
        if (readFolder.isEmpty()) {
            fail(QStringLiteral("Can't make a copy of %1 in %2: %3").arg(cached->path, entry->folder(), error));
            return;
        }
        if (!(options & AsyncRead::Resynchronize)) {
            serveCachedCopy();
            return;
        }
    }
    request();
}

void AsyncReadPrivate::request()
{
    CurlTransfer::Request request;
    request.url = hop;
    request.certificateAuthorities = certificateAuthorities;
    // The file is stored byte for byte as the server holds it.
    request.headers << "Accept-Encoding: identity";
    if (asked >= 0) {
        request.headers << "Range: bytes=" + QByteArray::number(asked) + '-' << "If-Range: " + rangeValidator;
    } else if (cached) {
        if (!cached->etag.isEmpty())
            request.headers << "If-None-Match: " + cached->etag;
        if (!cached->lastModified.isEmpty())
            request.headers << "If-Modified-Since: " + cached->lastModified;
    }
    action.reset();
    dropped = 0;
    location.clear();
    refusal.clear();
    refusalError = ErrPathFileAccess;
    touch();
    stallTimer.start(stallMs);
    paceTimer.stop();
    transfer = std::make_unique<CurlTransfer>(multi, request, *this);
}

void AsyncReadPrivate::connecting()
{
    touch();
    report(AsyncStatusCodeConnecting, hostAndPort(hop));
}

void AsyncReadPrivate::sendingRequest()
{
    touch();
    if (isNetworkScheme(hop))
        report(AsyncStatusCodeSendingRequest, hop.toDisplayString());
}

bool AsyncReadPrivate::headReceived(const ResponseHead &head)
{
    touch();
    // The pace counts from the answer on; before it, the stall limit waits.
    received = receivedAtCheck = 0;
    paceTimer.start(stallMs);
    const HeadVerdict verdict = judgeHead(head, asked, cached && asked < 0);
    switch (verdict.action) {
    case HeadVerdict::Action::Refuse:
        refusal = verdict.refusal;
        return false;
    case HeadVerdict::Action::Redirect:
        location = head.location;
        break;
    case HeadVerdict::Action::NotModified:
        break;
    case HeadVerdict::Action::Body:
        if (!acceptBody(head, verdict))
            return false;
        break;
    }
    action = verdict.action;
    return true;
}

bool AsyncReadPrivate::acceptBody(const ResponseHead &head, const HeadVerdict &verdict)
{
    if (maxBytes >= 0 && verdict.total > maxBytes) {
        refusal = QStringLiteral("Larger than %1 bytes (%2 announced)").arg(maxBytes).arg(verdict.total);
        return false;
    }
    total = verdict.total;
    if (!part.isOpen()) {
        // The server sends a new copy: the one taken from the cache goes.
        discardReadFolder();
        QString error;
        readFolder = entry->openPart(part, fileName, error);
        if (readFolder.isEmpty()) {
            refusal = QStringLiteral("Can't create a file in %1: %2").arg(entry->folder(), error);
            return false;
        }
        if (!head.contentType.isEmpty())
            report(AsyncStatusCodeMIMETypeAvailable, QString::fromLatin1(head.contentType));
        report(AsyncStatusCodeCacheFileNameAvailable, QDir::toNativeSeparators(finalPath()));
    } else if (verdict.start == 0 && bytesRead > 0) {
        // A whole file in answer to a resumption: it starts over.
        if (!part.resize(0) || !part.seek(0)) {
            refuseWrite();
            return false;
        }
        bytesRead = 0;
    }
    if (verdict.start == 0) {
        etag = head.etag;
        lastModified = head.lastModified;
        rangeValidator = resumeValidator(head);
    }
    return true;
}

bool AsyncReadPrivate::bodyReceived(const char *data, qsizetype size)
{
    touch();
    received += size;
    // The body of a redirect or of a not-modified answer is not the file:
    // read to its end to keep the connection, unless it goes on and on.
    if (action != HeadVerdict::Action::Body) {
        dropped += size;
        return dropped <= kMaxDroppedBytes;
    }
    if (maxBytes >= 0 && bytesRead + size > maxBytes) {
        refusal = QStringLiteral("Longer than %1 bytes").arg(maxBytes);
        return false;
    }
    if (part.write(data, size) != size) {
        refuseWrite();
        return false;
    }
    bytesRead += size;
    report(begun ? AsyncStatusCodeDownloadingData : AsyncStatusCodeBeginDownloadData, address);
    begun = true;
    return true;
}

void AsyncReadPrivate::finished(const CurlTransfer::End &end)
{
    using Kind = CurlTransfer::End::Kind;
    const std::unique_ptr<CurlTransfer> ended = std::move(transfer);
    stallTimer.stop();
    paceTimer.stop();
    const bool broken = end.kind == Kind::Broken;
    if (!refusal.isEmpty())
        fail(refusal, refusalError);
    else if (action == HeadVerdict::Action::Redirect)
        followRedirect();
    else if (end.kind != Kind::Complete)
        endTransfer(broken, broken && bytesRead > 0 ? QStringLiteral("The connection broke after %1 (%2)")
                                                           .arg(describeBytes(bytesRead, total), end.error)
                                                     : end.error);
    else if (action == HeadVerdict::Action::NotModified)
        serveCachedCopy();
    else
        complete();
}

void AsyncReadPrivate::checkStall()
{
    if (!transfer)
        return;
    if (sinceActivity.elapsed() < stallMs) {
        stallTimer.start(int(stallMs - sinceActivity.elapsed()));
        return;
    }
    transfer.reset();
    paceTimer.stop();
    endTransfer(true, describeTimeout(stallMs));
}

void AsyncReadPrivate::checkPace()
{
    if (!transfer)
        return;
    const qint64 floor = qint64(AsyncRead::MinimumBytesPerSecond) * stallMs / 1000;
    if (received - receivedAtCheck >= floor) {
        receivedAtCheck = received;
        return;
    }
    transfer.reset();
    stallTimer.stop();
    paceTimer.stop();
    endTransfer(true, describePace(stallMs));
}

void AsyncReadPrivate::endTransfer(bool broken, const QString &description)
{
    if (broken && bytesRead > 0 && !rangeValidator.isEmpty() && resumptions < AsyncRead::MaxResumptions)
        resume();
    else
        fail(description);
}

void AsyncReadPrivate::resume()
{
    ++resumptions;
    asked = bytesRead;
    report(AsyncStatusCodeFindingResource, QStringLiteral("Resuming %1 at byte %2").arg(address).arg(bytesRead));
    request();
}

void AsyncReadPrivate::followRedirect()
{
    const QUrl target = hop.resolved(QUrl(QString::fromUtf8(location)));
    if (++redirects > AsyncRead::MaxRedirects) {
        fail(QStringLiteral("More than %1 redirects").arg(AsyncRead::MaxRedirects));
        return;
    }
    if (!isNetworkScheme(target) || target.host().isEmpty()) {
        fail(QStringLiteral("Refused a redirect to %1").arg(target.toDisplayString()));
        return;
    }
    if (hop.scheme().toLower() == QLatin1String("https") && target.scheme().toLower() == QLatin1String("http")) {
        fail(QStringLiteral("Refused a redirect from https to http"));
        return;
    }
    report(AsyncStatusCodeRedirecting, target.toDisplayString());
    hop = target;
    request();
}

void AsyncReadPrivate::serveCachedCopy()
{
    const QString path = finalPath();
    bytesRead = total = QFileInfo(path).size();
    report(AsyncStatusCodeUsingCachedCopy, QDir::toNativeSeparators(path));
    readFolder.clear();
    succeed(path);
}

void AsyncReadPrivate::complete()
{
    if (total >= 0 && bytesRead != total) {
        fail(QStringLiteral("The file ended after %1").arg(describeBytes(bytesRead, total)));
        return;
    }
    part.close();
    const QString path = finalPath();
    if (!part.rename(path)) {
        fail(QStringLiteral("Can't write %1: %2").arg(path, part.errorString()));
        return;
    }
    entry->record({path, etag, lastModified});
    readFolder.clear();
    report(AsyncStatusCodeEndDownloadData, address);
    succeed(path);
}

void AsyncReadPrivate::stop()
{
    stallTimer.stop();
    paceTimer.stop();
    transfer.reset();
    discardReadFolder();
}

void AsyncReadPrivate::discardReadFolder()
{
    if (readFolder.isEmpty())
        return;
    part.close();
    // Nothing in it has been handed out: it is this read's alone.
    QDir(readFolder).removeRecursively();
    CacheEntry::removeIfEmpty(readFolder);
    readFolder.clear();
}

AsyncProperty AsyncReadPrivate::ending(int statusCode, const QString &status)
{
    stop();
    pending = false;
    return figures(statusCode, status);
}

void AsyncReadPrivate::succeed(const QString &path)
{
    AsyncProperty notification = ending(AsyncStatusCodeEndDownloadData, address);
    // Shown and logged: written as the platform writes paths ('\' on Windows).
    notification.localFile = QDir::toNativeSeparators(path);
    notifications.post(notification, true);
}

void AsyncReadPrivate::refuseWrite()
{
    // A full file system is what placing calls it too.
    if (part.error() == QFileDevice::ResourceError) {
        refusal = RuntimeError::standardDescription(ErrDiskFull);
        refusalError = ErrDiskFull;
        return;
    }
    refusal = QStringLiteral("Can't write %1: %2").arg(part.fileName(), part.errorString());
}

void AsyncReadPrivate::fail(const QString &description, int error)
{
    AsyncProperty notification = ending(AsyncStatusCodeError, description);
    notification.failure = RuntimeError(error, description);
    notifications.post(notification, true);
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
    d->notifications.clear();
}

void AsyncRead::start(const QString &address, int options, qint64 maxBytes)
{
    if (isPending())
        throw RuntimeError(ErrInvalidCall, QStringLiteral("A read is already in progress"));
    QString encoded = address;
    encoded.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    const QUrl url(encoded, QUrl::StrictMode);
    if (address.trimmed().isEmpty() || !url.isValid() || url.isRelative() || !isSupportedScheme(url))
        throw RuntimeError(ErrInvalidCall, QStringLiteral("Can't read the address \"%1\"").arg(address));

    d->url = d->hop = url;
    d->address = url.toDisplayString();
    d->options = options;
    d->maxBytes = maxBytes;
    d->fileName = localNameFor(url);
    CacheEntry::removeDeadReads(d->folder);
    d->entry.emplace(d->folder, url);
    d->cached.reset();
    d->pending = true;
    d->bytesRead = 0;
    d->total = -1;
    d->begun = false;
    d->redirects = d->resumptions = 0;
    d->asked = -1;
    d->etag.clear();
    d->lastModified.clear();
    d->rangeValidator.clear();
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
    d->notifications.clear();
}

bool AsyncRead::isPending() const
{
    // Until its completion has gone out, the read is not over for anyone.
    return d->pending || !d->notifications.isEmpty();
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

QString AsyncRead::certificateAuthorities() const
{
    return d->certificateAuthorities;
}

void AsyncRead::setCertificateAuthorities(const QString &path)
{
    d->certificateAuthorities = path;
}

} // namespace platform
