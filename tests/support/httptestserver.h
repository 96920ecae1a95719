#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace testsupport {

// One request as the test server received it.
struct HttpRequest {
    QByteArray method;
    QByteArray target;
    // Header fields with lower-case names.
    QMap<QByteArray, QByteArray> headers;

    QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
};

// One scripted answer of the test server.
struct HttpResponse {
    // How the end of the body is told to the client.
    enum class Framing { ContentLength, CloseDelimited, Chunked };
    // What happens once the body has been sent (or cut at cutAt).
    enum class End {
        Complete, // a proper end; the connection stays open for the next request
        Stall,    // nothing more is sent and the connection stays open
        Close,    // an orderly close (FIN)
        Reset,    // the connection is reset (RST)
    };

    int status = 200;
    QByteArray reason; // empty: the usual phrase for the status
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // A body of this many pattern bytes (see pattern()) instead of body;
    // costs no memory, so it suits very large files.
    qint64 generatedSize = -1;
    Framing framing = Framing::ContentLength;
    // The Content-Length sent; -1 announces the real size.
    qint64 announcedLength = -1;
    // The body offset at which End applies; -1 sends the whole body.
    qint64 cutAt = -1;
    End end = End::Complete;
    // Sent instead of each chunk's real size (a malformed chunked body).
    QByteArray chunkSizeLine;
    // Bytes per write, and the pause between writes (a trickle when > 0).
    qint64 chunkBytes = 64 * 1024;
    int intervalMs = 0;
    // Body offsets at which the server emits held() and sends nothing more
    // until resume().
    QList<qint64> holdAt;
    // Validators; a request whose If-None-Match or If-Modified-Since
    // matches gets 304 Not Modified without a body.
    QByteArray etag;
    QByteArray lastModified;
    // Offers byte ranges: a request with "Range: bytes=N-" (and an If-Range
    // that matches a validator, when it has one) gets 206 Partial Content
    // from N on. misplacedRangeBy makes that part start elsewhere.
    bool acceptRanges = false;
    qint64 misplacedRangeBy = 0;

    qint64 bodySize() const { return generatedSize >= 0 ? generatedSize : body.size(); }

    static HttpResponse ok(const QByteArray &body, const QByteArray &contentType = "application/octet-stream");
    static HttpResponse generated(qint64 size, const QByteArray &contentType = "application/octet-stream");
    static HttpResponse error(int status);
    // A generated body of size bytes that stops after cutAt bytes with end.
    static HttpResponse cut(qint64 size, qint64 cutAt, End end);
    static HttpResponse redirect(const QByteArray &location, int status = 302);
};

// An HTTP/1.1 server on 127.0.0.1 inside the test process, driven by the
// same event loop as the code under test. Paths without a route get 404.
// It also acts as a forward proxy for addresses given a route of their own
// (a request target in absolute form), and speaks https with a certificate
// of a test authority made for it.
class HttpTestServer : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<HttpResponse(const HttpRequest &)>;
    enum class Scheme { Http, Https };

    // Listens on a free port of 127.0.0.1.
    explicit HttpTestServer(Scheme scheme = Scheme::Http, QObject *parent = nullptr);
    // Listens on the given port of 127.0.0.1 (for programs built with a
    // fixed address).
    explicit HttpTestServer(quint16 port, QObject *parent = nullptr);
    ~HttpTestServer() override;

    quint16 port() const;
    // "http://127.0.0.1:<port>" (or https) followed by path (which starts with '/').
    QString url(const QString &path) const;
    // An https server: the PEM file of the authority that certified it.
    QString certificateAuthorities() const;

    // Every request for path (without its query) gets response. A path
    // that is a whole address ("http://host/path") is served to clients
    // that use this server as their proxy.
    void serve(const QString &path, const HttpResponse &response);
    // Every request for path gets what handler makes of it.
    void serve(const QString &path, Handler handler);

    // Requests received so far, in order.
    const QList<HttpRequest> &requests() const { return m_requests; }
    // How many requests asked for path.
    int hits(const QString &path) const;

    // Lets every held response go on.
    void resume();

    // The content of generated bodies: a sequence that repeats only every
    // 65536 * 251 bytes, so misplaced data never compares equal.
    static char patternByte(qint64 offset);
    static QByteArray pattern(qint64 offset, qint64 size);

signals:
    // A response reached one of its holdAt offsets.
    void held(const QString &path, qint64 offset);

private:
    struct Connection;
    class TlsServer;

    HttpTestServer(quint16 port, Scheme scheme, QObject *parent);
    void onNewConnection();
    void onReadyRead(Connection *c);
    void startResponse(Connection *c, const HttpRequest &request);
    void pump(Connection *c);
    void finishBody(Connection *c);
    void drop(Connection *c);

    Scheme m_scheme;
    QTcpServer *m_server;
    QHash<QString, Handler> m_routes;
    QList<HttpRequest> m_requests;
    QList<Connection *> m_connections;
};

} // namespace testsupport
