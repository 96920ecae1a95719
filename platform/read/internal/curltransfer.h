#pragma once

#include "platform/read/internal/responsehead.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <array>
#include <curl/curl.h>

namespace platform {

class CurlMulti;

// One request through a libcurl easy handle on a CurlMulti (http, https or
// file). It tells its listener each stage as curl reaches it and hands it
// the body; it never follows a redirect itself. Loopback addresses never go
// through a proxy; others use the proxy that the environment names
// (http_proxy, https_proxy, no_proxy). Certificates are checked.
class CurlTransfer {
public:
    struct Request {
        QUrl url;
        // Extra header fields, "Name: value".
        QList<QByteArray> headers;
        // A PEM file of the authorities that certify servers; empty for the
        // system's store.
        QString certificateAuthorities;
    };

    // How a transfer ended.
    struct End {
        enum class Kind {
            Complete,
            // The connection broke or closed before the body's end: the
            // rest may be asked for again.
            Broken,
            Failed,
        };
        Kind kind = Kind::Failed;
        // curl's own words for what went wrong.
        QString error;
    };

    // Called from curl's handling of the transfer: none of these may
    // destroy the transfer; returning false ends it instead.
    class Listener {
    public:
        // A new connection is being opened (not for a reused one).
        virtual void connecting() = 0;
        // Connected: the request goes out.
        virtual void sendingRequest() = 0;
        // The whole head of the answer has come.
        virtual bool headReceived(const ResponseHead &head) = 0;
        virtual bool bodyReceived(const char *data, qsizetype size) = 0;
        // The transfer is over; called from the event loop outside curl,
        // so the listener may destroy the transfer here.
        virtual void finished(const End &end) = 0;

    protected:
        ~Listener() = default;
    };

    CurlTransfer(CurlMulti &multi, const Request &request, Listener &listener);
    // Stops the transfer if it still runs, without a finished().
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer &) = delete;
    CurlTransfer &operator=(const CurlTransfer &) = delete;

private:
    static size_t onHeader(char *data, size_t size, size_t count, void *self);
    static size_t onBody(char *data, size_t size, size_t count, void *self);
    static int onSocketOptions(void *self, curl_socket_t socket, curlsocktype purpose);
    static int onPrerequest(void *self, char *, char *, int, int);
    // A file read has no head: its size stands in for one.
    bool headOfFile();
    void done(CURLcode result);

    CurlMulti &m_multi;
    Listener &m_listener;
    CURL *m_easy;
    curl_slist *m_headers = nullptr;
    std::array<char, CURL_ERROR_SIZE> m_error{};
    ResponseHead m_head;
    bool m_headDone = false;
    bool m_connecting = false;
};

// Whether host (as QUrl::host() writes it) names this machine's loopback
// interface.
bool isLoopbackHost(const QString &host);

} // namespace platform
