#pragma once

#include "platform/read/asyncproperty.h"

#include <QObject>
#include <QString>
#include <memory>

namespace platform {

class AsyncReadPrivate;

// The asynchronous read service: fetches an address (http, https or file)
// with libcurl into a local file of its own cache folder and reports the
// read as it goes. A job object on the thread that owns it, driven by its
// event loop: start() returns at once; later progress() reports the URL
// binding status codes in order and completed() comes exactly once for
// every read that is not cancelled. The data are streamed to disk, never
// held whole in memory; each read hands out a file of its own, also when
// several read one address at the same time and when the file comes from
// the cache, so the caller may move or delete it freely. The cache keeps its
// own hard link of the last copy that came with a validator (ETag or
// Last-Modified), for a conditional request next time.
//
// A read succeeds only when the transport says the body is complete. It
// fails (completed() with a failure, the partial file removed) on an HTTP
// status outside 2xx, a 204, a 206 that doesn't continue where the service
// asked, differing lengths, a malformed or broken body, more than 10
// redirects, a redirect from https to http, a file address that names no
// regular file, a body longer than the read's limit, when no data arrive
// for stallTimeoutMs(), or when less than MinimumBytesPerSecond arrive on
// average over that time. A transfer that breaks or stalls after some data is
// resumed with Range and If-Range, up to 3 times, when the server offers
// byte ranges and a validator; each resumption is reported as
// FindingResource with the text "Resuming <address> at byte N". The proxy
// named by the environment (http_proxy, https_proxy, no_proxy) applies to
// every address except loopback; certificates are checked against the
// system's store.
class AsyncRead : public QObject {
    Q_OBJECT

public:
    // Read options.
    enum Option : int {
        // Revalidate a cached copy with a conditional request instead of
        // serving it as it is.
        Resynchronize = 512,
    };
    static constexpr int DefaultStallTimeoutMs = 60'000;
    static constexpr int MaxRedirects = 10;
    static constexpr int MaxResumptions = 3;
    // The slowest pace a transfer may keep: 1 MB in under three hours.
    static constexpr int MinimumBytesPerSecond = 100;

    explicit AsyncRead(QObject *parent = nullptr);
    // Cancels a pending read.
    ~AsyncRead() override;

    // Starts reading url. A backslash in it goes out percent-encoded. A read
    // with maxBytes (not -1) refuses an answer that announces more and ends
    // when more arrive. Raises error 5 for an address that can't be read
    // (empty, relative, another scheme) and when a read is already pending.
    void start(const QString &url, int options = Resynchronize, qint64 maxBytes = -1);
    // Ends the pending read without a completion and removes its partial
    // file. Raises error 5 when no read is pending.
    void cancel();
    bool isPending() const;

    // The folder that receives the data files; by default "downloads" in
    // the user's cache folder for this application.
    QString cacheFolder() const;
    void setCacheFolder(const QString &folder);
    // How long a read may go without any data before it fails.
    int stallTimeoutMs() const;
    void setStallTimeoutMs(int ms);
    // A PEM file of the authorities that certify servers, instead of the
    // system's store (for tests with an authority of their own).
    QString certificateAuthorities() const;
    void setCertificateAuthorities(const QString &path);

signals:
    void progress(const platform::AsyncProperty &notification);
    void completed(const platform::AsyncProperty &notification);

private:
    std::unique_ptr<AsyncReadPrivate> d;
};

} // namespace platform
