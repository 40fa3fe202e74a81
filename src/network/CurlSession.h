#pragma once

#include "CurlLibrary.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <map>

class CurlReply;
class QSocketNotifier;

// One libcurl multi handle driven by the Qt event loop: a socket notifier for each socket
// libcurl watches and one timer for its time-outs, so that no exchange ever blocks the window's
// thread. Replies are told of their transfer's end only once libcurl has returned, never from
// inside its callbacks, so that whatever their callers do then cannot re-enter libcurl.
class CurlSession : public QObject
{
public:
    explicit CurlSession(const CurlLibrary& curl);
    ~CurlSession() override;
    Q_DISABLE_COPY_MOVE(CurlSession)

    const CurlLibrary& library() const { return curl; }
    // Starts the reply's transfer; libcurl's private pointer of easy must be the reply.
    void add(CurlReply* reply, CURL* easy);
    // Stops a transfer, if it is still under way. Never called from inside libcurl's callbacks.
    void remove(CURL* easy);

private:
    struct Watch
    {
        QPointer<QSocketNotifier> read;
        QPointer<QSocketNotifier> write;
    };

    // libcurl's callbacks: C calls them, so nothing may leave them by an exception; -1 stops
    // libcurl's work.
    static int socketChanged(CURL* easy, curl_socket_t socket, int what, void* self,
                             void*) noexcept;
    static int timerChanged(CURLM* multi, long milliseconds, void* self) noexcept;
    void watch(curl_socket_t socket, int what);
    void act(curl_socket_t socket, int events);

    const CurlLibrary& curl;
    CURLM* multi;
    QTimer timer;
    std::map<curl_socket_t, Watch> watches;
    std::map<CURL*, QPointer<CurlReply>> transfers;
};
