#pragma once

#include <QNetworkReply>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>

#include <chrono>
#include <optional>

class QTcpSocket;

// One exchange over a connection of its own, read by this class rather than Qt's HTTP layer.
// Qt's layer posts again on a new connection when the first closes before a complete answer
// (the service would accept every copy of a message), and a hostile answer can hold its thread
// (a header line of many megabytes took it for half a minute while every other exchange
// waited). Here nothing is ever sent twice, the head is capped, the body is capped as it
// arrives, and the whole exchange ends within its deadline. It offers the reply interface the
// callers already use: the status attribute, the headers, readyRead, finished and the bytes.
class SocketReply : public QNetworkReply
{
    Q_OBJECT
public:
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

    SocketReply(Request request, const std::optional<QSslConfiguration>& ssl, Limits limits,
                QObject* parent = nullptr);
    ~SocketReply() override;

    void abort() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }
    // True when the answer was cut off for being larger than its limit.
    bool exceededLimit() const { return exceeded; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    enum class Stage
    {
        Head,
        Body,
        Done
    };
    void sendRequest();
    void received();
    // Where marker begins in what has arrived, or -1 while more must come (or the head grew
    // beyond its limit, which ends the exchange).
    qsizetype headEnd(const char* marker);
    bool readStatusLine();
    bool readHead();
    void readBody();
    bool readChunked();
    void appendBody(const QByteArray& bytes);
    void fail(NetworkError code, const QString& text);
    void finish();

    Request outgoing;
    Limits limits;
    QPointer<QTcpSocket> socket;
    QTimer idleTimer;
    QTimer deadlineTimer;
    Stage stage = Stage::Head;
    QByteArray incoming; // what the socket gave that is not parsed yet
    QByteArray body;     // what arrived of the body; the caller has read its first bodyRead bytes
    qsizetype bodyRead = 0;
    qint64 bodyTotal = 0;
    std::optional<qint64> contentLength;
    bool chunked = false;
    qint64 chunkLeft = -1; // bytes left in the current chunk; -1 before a chunk's size line
    bool exceeded = false;
};
