#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <optional>

class QTcpSocket;

// One POST that reaches the server at most once. Qt's HTTP layer sends a request again on a new
// connection when the first closes before a complete answer; for a message the service would
// accept every copy. Here each POST has a connection of its own, nothing is ever sent twice,
// and only the answer's status line is read: once it has arrived, the exchange is over.
class SinglePost : public QObject
{
    Q_OBJECT
public:
    SinglePost(const QUrl& url, const QByteArray& contentType, const QByteArray& body,
               const std::optional<QSslConfiguration>& ssl, std::chrono::milliseconds deadline,
               QObject* parent = nullptr);
    ~SinglePost() override;

    // Stops the exchange; finished is not emitted.
    void abandon();

Q_SIGNALS:
    // The status of the answer, or nothing when no status line came: no connection, a failed
    // handshake, a closed connection, a status line that is not HTTP, or the deadline.
    void finished(std::optional<int> status);

private:
    void sendRequest();
    void readStatusLine();
    void end(std::optional<int> status);

    QUrl url;
    QByteArray request;
    QPointer<QTcpSocket> socket;
    QByteArray received;
    QTimer deadlineTimer;
    bool ended = false;
};
