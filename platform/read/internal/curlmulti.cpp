#include "platform/read/internal/curlmulti.h"

#include <QSocketNotifier>

namespace platform {

// The notifiers of one socket. Disabled as they go, so a new socket with the
// same number can be watched at once; deleted later, since this may run
// inside their own signal.
struct CurlMulti::Watch {
    QSocketNotifier *in;
    QSocketNotifier *out;

    Watch(curl_socket_t socket, CurlMulti *q)
        : in(new QSocketNotifier(qintptr(socket), QSocketNotifier::Read, q))
        , out(new QSocketNotifier(qintptr(socket), QSocketNotifier::Write, q))
    {
        connect(in, &QSocketNotifier::activated, q, [q, socket] { q->act(socket, CURL_CSELECT_IN); });
        connect(out, &QSocketNotifier::activated, q, [q, socket] { q->act(socket, CURL_CSELECT_OUT); });
    }
    ~Watch()
    {
        for (QSocketNotifier *notifier : {in, out}) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
};

CurlMulti::CurlMulti(QObject *parent)
    : QObject(parent)
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
    m_multi = curl_multi_init();
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlMulti::onSocket);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlMulti::onTimer);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlMulti::~CurlMulti()
{
    // Closes the cached connections.
    curl_multi_cleanup(m_multi);
}

void CurlMulti::add(CURL *easy, Done done)
{
    m_running.emplace(easy, std::move(done));
    // curl asks for a time-out of 0 and starts the transfer from the timer.
    curl_multi_add_handle(m_multi, easy);
}

void CurlMulti::remove(CURL *easy)
{
    if (m_running.erase(easy))
        curl_multi_remove_handle(m_multi, easy);
}

int CurlMulti::onSocket(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    auto *q = static_cast<CurlMulti *>(self);
    std::unique_ptr<Watch> &watch = q->m_watches[socket];
    if (what == CURL_POLL_REMOVE) {
        q->m_watches.erase(socket);
        return 0;
    }
    if (!watch)
        watch = std::make_unique<Watch>(socket, q);
    watch->in->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    watch->out->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
    return 0;
}

int CurlMulti::onTimer(CURLM *, long timeoutMs, void *self)
{
    auto *q = static_cast<CurlMulti *>(self);
    if (timeoutMs < 0)
        q->m_timer.stop();
    else
        q->m_timer.start(int(qMin<long>(timeoutMs, std::numeric_limits<int>::max())));
    return 0;
}

void CurlMulti::act(curl_socket_t socket, int events)
{
    int running = 0;
    curl_multi_socket_action(m_multi, socket, events, &running);
    finishDone();
}

void CurlMulti::finishDone()
{
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CURL *easy = message->easy_handle;
        const CURLcode result = message->data.result;
        const auto found = m_running.find(easy);
        if (found == m_running.end())
            continue;
        Done done = std::move(found->second);
        m_running.erase(found);
        curl_multi_remove_handle(m_multi, easy);
        // May add or remove other transfers; curl allows that here.
        done(result);
    }
}

} // namespace platform
