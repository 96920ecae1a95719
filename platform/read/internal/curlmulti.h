#pragma once

#include <QObject>
#include <QTimer>
#include <curl/curl.h>
#include <functional>
#include <memory>
#include <unordered_map>

namespace platform {

// A libcurl multi handle driven by the Qt event loop of the thread that owns
// it: one socket notifier per direction for each socket curl watches and one
// single-shot timer for curl's time-outs. Never a thread, never a busy loop.
// Connections stay in its cache between transfers and are reused.
class CurlMulti : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(CURLcode)>;

    explicit CurlMulti(QObject *parent = nullptr);
    ~CurlMulti() override;

    // Runs the transfer; done(result) is called once from the event loop
    // when curl has ended it (never from inside add()).
    void add(CURL *easy, Done done);
    // Stops the transfer (if it runs) without calling its done.
    void remove(CURL *easy);

private:
    struct Watch;

    static int onSocket(CURL *easy, curl_socket_t socket, int what, void *self, void *);
    static int onTimer(CURLM *multi, long timeoutMs, void *self);
    void act(curl_socket_t socket, int events);
    void finishDone();

    CURLM *m_multi;
    QTimer m_timer;
    std::unordered_map<CURL *, Done> m_running;
    std::unordered_map<curl_socket_t, std::unique_ptr<Watch>> m_watches;
};

} // namespace platform
