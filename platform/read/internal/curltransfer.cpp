#include "platform/read/internal/curltransfer.h"

#include "platform/read/internal/curlmulti.h"

#include <QFile>

namespace platform {

namespace {

// Large reads keep a fast transfer to few event-loop passes and writes.
constexpr long kBufferBytes = 512 * 1024;

bool isBreak(CURLcode result)
{
    switch (result) {
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_OPERATION_TIMEDOUT:
        return true;
    default:
        return false;
    }
}

} // namespace

bool isLoopbackHost(const QString &host)
{
    const QString name = host.toLower();
    if (name == QLatin1String("localhost") || name.endsWith(QLatin1String(".localhost")) || name == QLatin1String("::1"))
        return true;
    // 127.0.0.0/8, also mapped into IPv6 (QUrl writes IPv6 hosts compressed).
    const QStringList parts = QString(name).remove(QLatin1String("::ffff:")).split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        bool ok = false;
        if (part.toUInt(&ok) > 255 || !ok)
            return false;
    }
    return parts[0] == QLatin1String("127");
}

CurlTransfer::CurlTransfer(CurlMulti &multi, const Request &request, Listener &listener)
    : m_multi(multi)
    , m_listener(listener)
    , m_easy(curl_easy_init())
{
    curl_easy_setopt(m_easy, CURLOPT_URL, request.url.toEncoded().constData());
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, "http,https,file");
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_easy, CURLOPT_USERAGENT, "qvWebUpdate/1.0");
    curl_easy_setopt(m_easy, CURLOPT_BUFFERSIZE, kBufferBytes);
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, m_error.data());
    curl_easy_setopt(m_easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (isLoopbackHost(request.url.host()))
        curl_easy_setopt(m_easy, CURLOPT_PROXY, "");
    if (!request.certificateAuthorities.isEmpty())
        curl_easy_setopt(m_easy, CURLOPT_CAINFO, QFile::encodeName(request.certificateAuthorities).constData());
    for (const QByteArray &field : request.headers)
        m_headers = curl_slist_append(m_headers, field.constData());
    curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_headers);

    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::onBody);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_SOCKOPTFUNCTION, &CurlTransfer::onSocketOptions);
    curl_easy_setopt(m_easy, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_PREREQFUNCTION, &CurlTransfer::onPrerequest);
    curl_easy_setopt(m_easy, CURLOPT_PREREQDATA, this);

    m_multi.add(m_easy, [this](CURLcode result) { done(result); });
}

CurlTransfer::~CurlTransfer()
{
    m_multi.remove(m_easy);
    curl_easy_cleanup(m_easy);
    curl_slist_free_all(m_headers);
}

size_t CurlTransfer::onHeader(char *data, size_t size, size_t count, void *self)
{
    auto *t = static_cast<CurlTransfer *>(self);
    const QByteArrayView line(data, qsizetype(size * count));
    // Trailer fields after a chunked body change nothing.
    if (t->m_headDone)
        return size * count;
    if (!line.trimmed().isEmpty()) {
        t->m_head.addLine(line);
        return size * count;
    }
    // The blank line that ends an interim answer (1xx) is not the end.
    if (t->m_head.status >= 100 && t->m_head.status < 200)
        return size * count;
    t->m_headDone = true;
    return t->m_listener.headReceived(t->m_head) ? size * count : 0;
}

size_t CurlTransfer::onBody(char *data, size_t size, size_t count, void *self)
{
    auto *t = static_cast<CurlTransfer *>(self);
    if (!t->m_headDone && !t->headOfFile())
        return 0;
    return t->m_listener.bodyReceived(data, qsizetype(size * count)) ? size * count : 0;
}

int CurlTransfer::onSocketOptions(void *self, curl_socket_t, curlsocktype purpose)
{
    auto *t = static_cast<CurlTransfer *>(self);
    // Reported once, however many addresses curl tries for the host.
    if (purpose == CURLSOCKTYPE_IPCXN && !t->m_connecting) {
        t->m_connecting = true;
        t->m_listener.connecting();
    }
    return CURL_SOCKOPT_OK;
}

int CurlTransfer::onPrerequest(void *self, char *, char *, int, int)
{
    static_cast<CurlTransfer *>(self)->m_listener.sendingRequest();
    return CURL_PREREQFUNC_OK;
}

bool CurlTransfer::headOfFile()
{
    m_headDone = true;
    m_head.status = 200;
    curl_off_t size = -1;
    if (curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size) == CURLE_OK && size >= 0)
        m_head.contentLengths = {QByteArray::number(qint64(size))};
    return m_listener.headReceived(m_head);
}

void CurlTransfer::done(CURLcode result)
{
    End end;
    if (result == CURLE_OK && !m_headDone && !headOfFile()) {
        end.error = QString::fromUtf8(curl_easy_strerror(CURLE_WRITE_ERROR));
    } else if (result == CURLE_OK) {
        end.kind = End::Kind::Complete;
    } else {
        end.kind = isBreak(result) ? End::Kind::Broken : End::Kind::Failed;
        end.error = m_error[0] ? QString::fromUtf8(m_error.data()) : QString::fromUtf8(curl_easy_strerror(result));
    }
    // The listener may destroy this transfer.
    m_listener.finished(end);
}

} // namespace platform
