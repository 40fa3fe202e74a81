#include "SinglePost.h"

#include <QSslSocket>
#include <QTcpSocket>

namespace {
// A status line is a few dozen bytes; a server that sends more without a line end is broken.
constexpr qsizetype statusLineLimit = 8 * 1024;

std::optional<int> parseStatusLine(QByteArrayView line)
{
    // HTTP/1.x NNN reason
    if (!line.startsWith("HTTP/1.") || line.size() < 12 || line.at(8) != ' ')
        return std::nullopt;
    int status = 0;
    for (qsizetype i = 9; i < 12; ++i) {
        if (line.at(i) < '0' || line.at(i) > '9')
            return std::nullopt;
        status = status * 10 + (line.at(i) - '0');
    }
    if (line.size() > 12 && line.at(12) != ' ')
        return std::nullopt;
    return status;
}
} // namespace

SinglePost::SinglePost(const QUrl& url_, const QByteArray& contentType, const QByteArray& body,
                       const std::optional<QSslConfiguration>& ssl,
                       std::chrono::milliseconds deadline, QObject* parent)
    : QObject(parent), url(url_)
{
    const bool secure = url.scheme() == QLatin1String("https");
    const int port = url.port(secure ? 443 : 80);
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1)
        host += ':' + QByteArray::number(port);
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    request = "POST " + target + " HTTP/1.1\r\nHost: " + host + "\r\nContent-Type: " + contentType +
              "\r\nContent-Length: " + QByteArray::number(body.size()) +
              "\r\nConnection: close\r\n\r\n" + body;

    deadlineTimer.setSingleShot(true);
    connect(&deadlineTimer, &QTimer::timeout, this, [this] { end(std::nullopt); });
    deadlineTimer.start(deadline);

    if (secure) {
        auto* tls = new QSslSocket(this);
        if (ssl)
            tls->setSslConfiguration(*ssl);
        connect(tls, &QSslSocket::encrypted, this, &SinglePost::sendRequest);
        socket = tls;
    } else {
        socket = new QTcpSocket(this);
        connect(socket, &QTcpSocket::connected, this, &SinglePost::sendRequest);
    }
    connect(socket, &QTcpSocket::readyRead, this, &SinglePost::readStatusLine);
    connect(socket, &QTcpSocket::errorOccurred, this, [this] { end(std::nullopt); });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        readStatusLine();
        end(std::nullopt);
    });
    if (secure)
        static_cast<QSslSocket*>(socket.data())->connectToHostEncrypted(url.host(), quint16(port));
    else
        socket->connectToHost(url.host(), quint16(port));
}

SinglePost::~SinglePost()
{
    abandon();
}

void SinglePost::abandon()
{
    ended = true;
    deadlineTimer.stop();
    if (socket) {
        socket->disconnect(this);
        socket->abort();
    }
}

void SinglePost::sendRequest()
{
    socket->write(request);
}

void SinglePost::readStatusLine()
{
    if (ended || !socket)
        return;
    received += socket->read(statusLineLimit + 2 - received.size());
    const qsizetype lineEnd = received.indexOf("\r\n");
    if (lineEnd >= 0)
        end(parseStatusLine(QByteArrayView(received).first(lineEnd)));
    else if (received.size() > statusLineLimit)
        end(std::nullopt);
}

void SinglePost::end(std::optional<int> status)
{
    if (ended)
        return;
    abandon();
    emit finished(status);
}
