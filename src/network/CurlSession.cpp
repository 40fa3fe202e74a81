#include "CurlSession.h"

#include "CurlReply.h"

#include <QSocketNotifier>

#include <vector>

CurlSession::CurlSession(const CurlLibrary& curl_) : curl(curl_), multi(curl.multiInit())
{
    curl.multiSetopt(multi, CURLMOPT_SOCKETFUNCTION, &CurlSession::socketChanged);
    curl.multiSetopt(multi, CURLMOPT_SOCKETDATA, this);
    curl.multiSetopt(multi, CURLMOPT_TIMERFUNCTION, &CurlSession::timerChanged);
    curl.multiSetopt(multi, CURLMOPT_TIMERDATA, this);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlSession::~CurlSession()
{
    // Replies still under way end as stopped; their handles leave the multi handle first.
    const auto left = std::exchange(transfers, {});
    for (const auto& [easy, reply] : left) {
        curl.multiRemoveHandle(multi, easy);
        if (reply)
            reply->sessionEnded();
    }
    curl.multiCleanup(multi);
}

void CurlSession::add(CurlReply* reply, CURL* easy)
{
    transfers[easy] = reply;
    curl.multiAddHandle(multi, easy);
}

void CurlSession::remove(CURL* easy)
{
    if (transfers.erase(easy))
        curl.multiRemoveHandle(multi, easy);
}

int CurlSession::socketChanged(CURL*, curl_socket_t socket, int what, void* self, void*) noexcept
{
    try {
        static_cast<CurlSession*>(self)->watch(socket, what);
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

int CurlSession::timerChanged(CURLM*, long milliseconds, void* self) noexcept
{
    try {
        QTimer& timer = static_cast<CurlSession*>(self)->timer;
        if (milliseconds < 0)
            timer.stop();
        else
            timer.start(std::chrono::milliseconds(milliseconds));
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

void CurlSession::watch(curl_socket_t socket, int what)
{
    Watch& w = watches[socket];
    // A notifier may be the one whose signal is being delivered: it is disabled now and
    // deleted later. libcurl may open a new socket under the same number meanwhile.
    const auto set = [this, socket](QPointer<QSocketNotifier>& notifier, QSocketNotifier::Type type,
                                    bool wanted, int event) {
        if (wanted && !notifier) {
            notifier = new QSocketNotifier(socket, type, this);
            connect(notifier, &QSocketNotifier::activated, this,
                    [this, socket, event] { act(socket, event); });
        } else if (!wanted && notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
            notifier.clear();
        }
    };
    const bool remove = what == CURL_POLL_REMOVE;
    set(w.read, QSocketNotifier::Read, !remove && (what & CURL_POLL_IN), CURL_CSELECT_IN);
    set(w.write, QSocketNotifier::Write, !remove && (what & CURL_POLL_OUT), CURL_CSELECT_OUT);
    if (remove)
        watches.erase(socket);
}

void CurlSession::act(curl_socket_t socket, int events)
{
    int running = 0;
    curl.multiSocketAction(multi, socket, events, &running);
    // Every ended transfer is collected before any reply hears of it: a reply's caller may start
    // or stop other exchanges when it does.
    std::vector<std::pair<QPointer<CurlReply>, CURLcode>> ended;
    int queued = 0;
    while (CURLMsg* message = curl.multiInfoRead(multi, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        const auto found = transfers.find(message->easy_handle);
        if (found != transfers.end())
            ended.emplace_back(found->second, message->data.result);
    }
    for (const auto& [reply, result] : ended) {
        if (reply)
            reply->transferEnded(result);
    }
}
