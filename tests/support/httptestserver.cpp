#include "httptestserver.h"

#include "testcertificates.h"

#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#ifdef _WIN32
#include <winsock2.h>
using NativeSocket = SOCKET;
#else
#include <sys/socket.h>
using NativeSocket = int;
#endif

namespace testsupport {

namespace {

// Never more than this waits in the socket's own buffer: large bodies are
// produced as the client takes them.
constexpr qint64 kMaxQueuedBytes = 256 * 1024;

QByteArray reasonFor(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 404: return "Not Found";
    case 416: return "Range Not Satisfiable";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

// The route of a request: its whole address when it came through this
// server as a proxy, else its path.
QString routeOf(const QByteArray &target)
{
    const QUrl url(QString::fromLatin1(target));
    return url.isRelative() ? url.path() : url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
}

// Where a request with "Range: bytes=N-" may start: N when the response
// offers ranges and If-Range, if sent, matches one of its validators; else -1.
qint64 rangeStart(const HttpRequest &request, const HttpResponse &response)
{
    const QByteArray range = request.header("Range");
    if (!response.acceptRanges || response.status != 200 || !range.startsWith("bytes=") || !range.endsWith('-'))
        return -1;
    const QByteArray ifRange = request.header("If-Range");
    if (!ifRange.isEmpty() && ifRange != response.etag && ifRange != response.lastModified)
        return -1;
    bool ok = false;
    const qint64 start = range.mid(6, range.size() - 7).toLongLong(&ok);
    return ok && start < response.bodySize() ? start : -1;
}

} // namespace

// Speaks TLS on every connection it accepts, with a certificate of its own
// test authority.
class HttpTestServer::TlsServer : public QTcpServer {
public:
    explicit TlsServer(QObject *parent)
        : QTcpServer(parent)
        , m_certificate(QSslCertificate::fromPath(m_certificates.certificateFile()).value(0))
    {
        QFile key(m_certificates.keyFile());
        if (!key.open(QIODevice::ReadOnly))
            qFatal("can't read %s", qPrintable(key.fileName()));
        m_key = QSslKey(&key, QSsl::Ec);
    }

    QString authorityFile() const { return m_certificates.authorityFile(); }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(m_certificate);
        socket->setPrivateKey(m_key);
        socket->startServerEncryption();
        addPendingConnection(socket);
    }

private:
    TestCertificates m_certificates;
    QSslCertificate m_certificate;
    QSslKey m_key;
};

HttpResponse HttpResponse::ok(const QByteArray &body, const QByteArray &contentType)
{
    HttpResponse r;
    r.body = body;
    if (!contentType.isEmpty())
        r.headers.append({"Content-Type", contentType});
    return r;
}

HttpResponse HttpResponse::generated(qint64 size, const QByteArray &contentType)
{
    HttpResponse r = ok(QByteArray(), contentType);
    r.generatedSize = size;
    return r;
}

HttpResponse HttpResponse::cut(qint64 size, qint64 cutAt, End end)
{
    HttpResponse r = generated(size);
    r.cutAt = cutAt;
    r.end = end;
    return r;
}

HttpResponse HttpResponse::error(int status)
{
    HttpResponse r = ok(reasonFor(status) + "\n", "text/plain");
    r.status = status;
    return r;
}

HttpResponse HttpResponse::redirect(const QByteArray &location, int status)
{
    HttpResponse r;
    r.status = status;
    r.headers.append({"Location", location});
    return r;
}

struct HttpTestServer::Connection {
    QTcpSocket *socket = nullptr;
    QByteArray input;
    QString path;
    HttpResponse response;
    bool responding = false;
    bool keepAlive = true;
    qint64 sent = 0;
    qsizetype nextHold = 0;
    bool holding = false;
    QTimer interval;
};

HttpTestServer::HttpTestServer(Scheme scheme, QObject *parent)
    : HttpTestServer(0, scheme, parent)
{
}

HttpTestServer::HttpTestServer(quint16 port, QObject *parent)
    : HttpTestServer(port, Scheme::Http, parent)
{
}

HttpTestServer::HttpTestServer(quint16 port, Scheme scheme, QObject *parent)
    : QObject(parent)
    , m_scheme(scheme)
    , m_server(scheme == Scheme::Https ? new TlsServer(this) : new QTcpServer(this))
{
    if (!m_server->listen(QHostAddress::LocalHost, port))
        qFatal("test server can't listen: %s", qPrintable(m_server->errorString()));
    connect(m_server, &QTcpServer::newConnection, this, &HttpTestServer::onNewConnection);
}

HttpTestServer::~HttpTestServer()
{
    for (Connection *c : std::as_const(m_connections)) {
        c->socket->disconnect(this);
        c->socket->abort();
        delete c;
    }
}

quint16 HttpTestServer::port() const
{
    return m_server->serverPort();
}

QString HttpTestServer::url(const QString &path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_scheme == Scheme::Https ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port())
        .arg(path);
}

QString HttpTestServer::certificateAuthorities() const
{
    const auto *tls = dynamic_cast<const TlsServer *>(m_server);
    return tls ? tls->authorityFile() : QString();
}

void HttpTestServer::serve(const QString &path, const HttpResponse &response)
{
    m_routes.insert(path, [response](const HttpRequest &) { return response; });
}

void HttpTestServer::serve(const QString &path, Handler handler)
{
    m_routes.insert(path, std::move(handler));
}

int HttpTestServer::hits(const QString &path) const
{
    int n = 0;
    for (const HttpRequest &r : m_requests)
        n += routeOf(r.target) == path;
    return n;
}

void HttpTestServer::resume()
{
    for (Connection *c : std::as_const(m_connections)) {
        if (!c->holding)
            continue;
        c->holding = false;
        QMetaObject::invokeMethod(this, [this, c] {
            if (m_connections.contains(c))
                pump(c);
        }, Qt::QueuedConnection);
    }
}

char HttpTestServer::patternByte(qint64 offset)
{
    return char((offset % 251) ^ ((offset >> 8) & 0xff));
}

QByteArray HttpTestServer::pattern(qint64 offset, qint64 size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = patternByte(offset + i);
    return data;
}

void HttpTestServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        auto *c = new Connection;
        c->socket = socket;
        // Every write goes out at once: a reset right after a short body
        // must not discard it while Nagle waits for the client's ACK.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        c->interval.setSingleShot(true);
        m_connections.append(c);
        connect(socket, &QTcpSocket::readyRead, this, [this, c] { onReadyRead(c); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, c] { pump(c); });
        // Dropped later: a write deep inside pump() can end the connection.
        connect(socket, &QTcpSocket::disconnected, this, [this, c] {
            QMetaObject::invokeMethod(this, [this, c] { drop(c); }, Qt::QueuedConnection);
        });
        connect(&c->interval, &QTimer::timeout, this, [this, c] { pump(c); });
    }
}

void HttpTestServer::drop(Connection *c)
{
    if (!m_connections.removeOne(c))
        return;
    c->socket->disconnect(this);
    c->socket->deleteLater();
    delete c;
}

void HttpTestServer::onReadyRead(Connection *c)
{
    c->input += c->socket->readAll();
    if (c->responding)
        return;
    const qsizetype end = c->input.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> lines = c->input.left(end).split('\n');
    c->input.remove(0, end + 4);
    HttpRequest request;
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.target = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    m_requests.append(request);
    startResponse(c, request);
}

void HttpTestServer::startResponse(Connection *c, const HttpRequest &request)
{
    c->path = routeOf(request.target);
    const auto route = m_routes.constFind(c->path);
    HttpResponse response = route != m_routes.cend() ? (*route)(request) : HttpResponse::error(404);

    const bool etagMatches = !response.etag.isEmpty() && request.header("If-None-Match") == response.etag;
    const bool dateMatches =
        !response.lastModified.isEmpty() && request.header("If-Modified-Since") == response.lastModified;
    if (response.status == 200 && (etagMatches || dateMatches)) {
        HttpResponse notModified;
        notModified.status = 304;
        notModified.etag = response.etag;
        notModified.lastModified = response.lastModified;
        response = notModified;
    }
    if (response.status == 304 || response.status == 204) {
        response.body.clear();
        response.generatedSize = -1;
    }
    qint64 start = rangeStart(request, response);
    if (start >= 0) {
        start += response.misplacedRangeBy;
        response.status = 206;
        response.headers.append({QByteArray("Content-Range"),
                                 "bytes " + QByteArray::number(start) + '-' + QByteArray::number(response.bodySize() - 1)
                                     + '/' + QByteArray::number(response.bodySize())});
    }
    start = qMax<qint64>(start, 0);
    if (response.acceptRanges)
        response.headers.append({QByteArray("Accept-Ranges"), QByteArray("bytes")});

    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' '
        + (response.reason.isEmpty() ? reasonFor(response.status) : response.reason) + "\r\n";
    switch (response.framing) {
    case HttpResponse::Framing::ContentLength:
        head += "Content-Length: "
            + QByteArray::number(response.announcedLength >= 0 ? response.announcedLength
                                                               : response.bodySize() - start)
            + "\r\n";
        break;
    case HttpResponse::Framing::Chunked:
        head += "Transfer-Encoding: chunked\r\n";
        break;
    case HttpResponse::Framing::CloseDelimited:
        head += "Connection: close\r\n";
        break;
    }
    if (!response.etag.isEmpty())
        head += "ETag: " + response.etag + "\r\n";
    if (!response.lastModified.isEmpty())
        head += "Last-Modified: " + response.lastModified + "\r\n";
    for (const auto &[name, value] : std::as_const(response.headers))
        head += name + ": " + value + "\r\n";
    head += "\r\n";
    c->socket->write(head);

    c->keepAlive = response.framing != HttpResponse::Framing::CloseDelimited
        && request.header("Connection").toLower() != "close";
    c->response = response;
    c->responding = true;
    c->sent = start;
    c->nextHold = 0;
    c->holding = false;
    pump(c);
}

void HttpTestServer::pump(Connection *c)
{
    while (c->responding && !c->holding && !c->interval.isActive()) {
        const HttpResponse &r = c->response;
        const qint64 size = r.bodySize();
        const qint64 limit = r.cutAt >= 0 ? qMin(r.cutAt, size) : size;
        if (c->nextHold < r.holdAt.size() && r.holdAt[c->nextHold] <= c->sent) {
            ++c->nextHold;
            c->holding = true;
            c->socket->flush();
            emit held(c->path, c->sent);
            return;
        }
        if (c->sent >= limit) {
            finishBody(c);
            return;
        }
        if (c->socket->bytesToWrite() > kMaxQueuedBytes)
            return;
        qint64 n = qMin(r.chunkBytes, limit - c->sent);
        if (c->nextHold < r.holdAt.size())
            n = qMin(n, r.holdAt[c->nextHold] - c->sent);
        const QByteArray data = r.generatedSize >= 0 ? pattern(c->sent, n) : r.body.mid(c->sent, n);
        if (r.framing == HttpResponse::Framing::Chunked)
            c->socket->write((r.chunkSizeLine.isEmpty() ? QByteArray::number(n, 16) : r.chunkSizeLine) + "\r\n"
                             + data + "\r\n");
        else
            c->socket->write(data);
        c->sent += n;
        if (r.intervalMs > 0) {
            c->socket->flush();
            c->interval.start(r.intervalMs);
        }
    }
}

void HttpTestServer::finishBody(Connection *c)
{
    c->responding = false;
    switch (c->response.end) {
    case HttpResponse::End::Complete:
        if (c->response.framing == HttpResponse::Framing::Chunked)
            c->socket->write("0\r\n\r\n");
        if (!c->keepAlive) {
            c->socket->disconnectFromHost();
        } else if (c->input.contains("\r\n\r\n")) {
            QMetaObject::invokeMethod(this, [this, c] {
                if (m_connections.contains(c))
                    onReadyRead(c);
            }, Qt::QueuedConnection);
        }
        break;
    case HttpResponse::End::Stall:
        break;
    case HttpResponse::End::Close:
        c->socket->disconnectFromHost();
        break;
    case HttpResponse::End::Reset: {
        c->socket->flush();
        // A zero linger time turns the close into a reset.
        const linger noLinger{1, 0};
        if (c->socket->socketDescriptor() >= 0)
            ::setsockopt(NativeSocket(c->socket->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                         reinterpret_cast<const char *>(&noLinger), sizeof noLinger);
        c->socket->abort();
        break;
    }
    }
}

} // namespace testsupport
