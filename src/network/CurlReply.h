#pragma once

#include "HeadReader.h"

#include <QIODevice>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <deque>
#include <optional>

class CurlSession;
using CURL = void;
struct curl_slist;

// One exchange through libcurl, on a connection of its own, as the callers read it: the status,
// the headers, readyRead, finished and the bytes. Not a QNetworkReply: Qt's network library
// would be loaded at start for its interface alone.
// libcurl does the framing; this class decides what counts as an answer: interim 1xx heads are
// skipped, a head with conflicting lengths, a transfer coding other than plain chunked or a
// folded line is refused, the head and the body are capped as they arrive, and an exchange
// without a byte for the idle time-out ends.
class CurlReply : public QIODevice
{
    Q_OBJECT
public:
    // Why an exchange failed, named as Qt names them.
    enum NetworkError
    {
        NoError,
        ConnectionRefusedError,
        HostNotFoundError,
        TimeoutError,
        OperationCanceledError,
        SslHandshakeFailedError,
        RemoteHostClosedError,
        ProxyNotFoundError,
        ContentNotFoundError,
        UnknownContentError,
        ProtocolFailure,
        UnknownNetworkError,
    };

    struct Request
    {
        QUrl url;
        QByteArray method = "GET";
        QByteArray contentType = {};
        QByteArray body = {};
        // The exchange ends with the status line: the send reads nothing more.
        bool statusLineOnly = false;
    };
    struct Limits
    {
        qint64 answerBytes;                 // the body; beyond it the answer is cut off
        std::chrono::milliseconds idle;     // without a byte arriving
        std::chrono::milliseconds deadline; // from the start, whatever arrives
    };

    // Without a session (libcurl could not be loaded) the reply fails at once.
    CurlReply(CurlSession* session, Request request, Limits limits, const QByteArray& authorities,
              QObject* parent = nullptr);
    ~CurlReply() override;

    // Ends the exchange as failed, with OperationCanceledError.
    void abort();
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }
    // True when the answer was cut off for being larger than its limit.
    bool exceededLimit() const { return exceeded; }
    NetworkError error() const { return failure; }
    bool isFinished() const { return done; }
    // The HTTP status of the answer, or nothing when no answer came (no connection, a failed
    // handshake, a time-out, a head cut short). A status such as 444 arrives with an error set,
    // so judge by this.
    std::optional<int> status() const { return answerStatus; }
    // The final answer's header of that name, in any letter case; the last one if repeated.
    QByteArray rawHeader(const QByteArray& name) const;
    // Whether the request may have reached the server: libcurl had a connection (through any
    // proxy's tunnel, past the TLS handshake) and began to send it. A failure before that sent
    // nothing at all.
    bool requestLeft() const { return leaving; }

    // From the session, outside libcurl's callbacks: the transfer ended with libcurl's code.
    void transferEnded(int code);
    // From the session: it is going away, and the transfer with it.
    void sessionEnded();

Q_SIGNALS:
    // Whatever the outcome; error() tells which.
    void finished();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; } // opened for reading only

private:
    // libcurl's callbacks: C calls them, so nothing may leave them by an exception.
    static size_t headerArrived(char* data, size_t size, size_t count, void* self) noexcept;
    static size_t bodyArrived(char* data, size_t size, size_t count, void* self) noexcept;
    // Stops the transfer when an arrival could not be kept.
    size_t outOfMemory() noexcept;
    static int requestLeaving(void* self, char*, char*, int, int) noexcept;
    // Each returns false to stop the transfer.
    bool readHeaderLine(QByteArray line);
    bool readBody(const char* data, qint64 size);
    bool stop(NetworkError code, const QString& text);
    void configure(const Request& request, const Limits& limits, const QByteArray& authorities);
    void signalLater();
    void signalArrivals();
    void fail(NetworkError code, const QString& text);
    void finish();

    QPointer<CurlSession> session;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    QByteArray postBody;
    bool statusLineOnly;
    qint64 answerLimit;
    QTimer idleTimer;
    std::chrono::milliseconds idle;

    // The head being read: an interim one is dropped at its end, the final one kept for
    // rawHeader().
    HeadReader head;
    bool memoryFailed = false;
    bool leaving = false;
    bool headEnded = false;

    // The body not read yet, in the pieces it arrived in; the first piece's first pieceRead
    // bytes were read already.
    std::deque<QByteArray> arrived;
    qsizetype pieceRead = 0;
    qint64 unread = 0;
    qint64 bodyTotal = 0;
    bool exceeded = false;
    bool signalPending = false;
    std::optional<std::pair<NetworkError, QString>> stopReason;
    bool done = false;
    NetworkError failure = NoError;
    std::optional<int> answerStatus;
};
