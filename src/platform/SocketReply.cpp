#include "SocketReply.h"

#include <QSslSocket>
#include <QTcpSocket>

#include <cstring>

namespace {
// A service's head is a few hundred bytes.
constexpr qsizetype headLimit = 64 * 1024;
constexpr qsizetype chunkLineLimit = 1024;
} // namespace

SocketReply::SocketReply(Request request, const std::optional<QSslConfiguration>& ssl,
                         Limits limits_, QObject* parent)
    : QNetworkReply(parent), outgoing(std::move(request)), limits(limits_)
{
    const QUrl& url = outgoing.url;
    setUrl(url);
    setOperation(outgoing.method == "POST" ? QNetworkAccessManager::PostOperation
                                           : QNetworkAccessManager::GetOperation);
    setRequest(QNetworkRequest(url));
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);

    idleTimer.setSingleShot(true);
    connect(&idleTimer, &QTimer::timeout, this,
            [this] { fail(TimeoutError, QStringLiteral("no answer within the time-out")); });
    deadlineTimer.setSingleShot(true);
    connect(&deadlineTimer, &QTimer::timeout, this,
            [this] { fail(OperationCanceledError, QStringLiteral("the deadline passed")); });
    idleTimer.start(limits.idle);
    deadlineTimer.start(limits.deadline);

    const bool secure = url.scheme() == QLatin1String("https");
    if (secure) {
        auto* tls = new QSslSocket(this);
        if (ssl)
            tls->setSslConfiguration(*ssl);
        connect(tls, &QSslSocket::encrypted, this, &SocketReply::sendRequest);
        socket = tls;
    } else {
        socket = new QTcpSocket(this);
        connect(socket, &QTcpSocket::connected, this, &SocketReply::sendRequest);
    }
    connect(socket, &QTcpSocket::readyRead, this, &SocketReply::received);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            return; // disconnected decides whether the answer was whole
        fail(error == QAbstractSocket::ConnectionRefusedError    ? ConnectionRefusedError
             : error == QAbstractSocket::HostNotFoundError       ? HostNotFoundError
             : error == QAbstractSocket::SslHandshakeFailedError ? SslHandshakeFailedError
                                                                 : UnknownNetworkError,
             socket->errorString());
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        received();
        if (stage == Stage::Done)
            return;
        // Without a length, the end of the connection ends the body; otherwise it came short.
        if (stage == Stage::Body && !contentLength && !chunked)
            finish();
        else
            fail(RemoteHostClosedError, QStringLiteral("the connection closed part-way"));
    });
    const int port = url.port(secure ? 443 : 80);
    if (secure)
        static_cast<QSslSocket*>(socket.data())->connectToHostEncrypted(url.host(), quint16(port));
    else
        socket->connectToHost(url.host(), quint16(port));
}

SocketReply::~SocketReply()
{
    if (socket)
        socket->disconnect(this);
}

void SocketReply::sendRequest()
{
    const QUrl target = url();
    QByteArray host = target.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']'; // an IPv6 address
    if (target.port() != -1)
        host += ':' + QByteArray::number(target.port());
    QByteArray path = target.path(QUrl::FullyEncoded).toLatin1();
    if (path.isEmpty())
        path = "/";
    if (target.hasQuery())
        path += '?' + target.query(QUrl::FullyEncoded).toLatin1();
    QByteArray head = outgoing.method + ' ' + path + " HTTP/1.1\r\nHost: " + host +
                      "\r\nAccept-Encoding: identity\r\nConnection: close\r\n";
    if (!outgoing.contentType.isEmpty())
        head += "Content-Type: " + outgoing.contentType + "\r\n";
    if (outgoing.method == "POST")
        head += "Content-Length: " + QByteArray::number(outgoing.body.size()) + "\r\n";
    socket->write(head + "\r\n" + outgoing.body);
}

void SocketReply::received()
{
    if (stage == Stage::Done || !socket)
        return;
    const QByteArray bytes = socket->readAll();
    if (bytes.isEmpty())
        return;
    idleTimer.start(limits.idle);
    incoming += bytes;
    if (stage == Stage::Head && outgoing.statusLineOnly) {
        if (readStatusLine())
            finish();
        return;
    }
    if (stage == Stage::Head && !readHead())
        return;
    if (stage == Stage::Body)
        readBody();
}

qsizetype SocketReply::headEnd(const char* marker)
{
    const qsizetype end = incoming.indexOf(marker);
    if (end > headLimit || (end < 0 && incoming.size() > headLimit)) {
        fail(ProtocolFailure, QStringLiteral("the answer's head is too large"));
        return -1;
    }
    return end;
}

// "HTTP/1.x NNN reason": the status becomes the reply's attribute.
bool SocketReply::readStatusLine()
{
    const qsizetype end = headEnd("\r\n");
    if (end < 0)
        return false;
    const QByteArray status = incoming.left(end);
    bool digits = status.size() >= 12;
    for (qsizetype i = 9; digits && i < 12; ++i)
        digits = status.at(i) >= '0' && status.at(i) <= '9';
    if (!status.startsWith("HTTP/1.") || status.size() < 12 || status.at(8) != ' ' || !digits ||
        (status.size() > 12 && status.at(12) != ' ')) {
        fail(ProtocolFailure, QStringLiteral("the answer is not HTTP"));
        return false;
    }
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, status.mid(9, 3).toInt());
    setAttribute(QNetworkRequest::HttpReasonPhraseAttribute, status.mid(13));
    return true;
}

bool SocketReply::readHead()
{
    const qsizetype end = headEnd("\r\n\r\n");
    if (end < 0 || !readStatusLine())
        return false;
    const int code = attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QList<QByteArray> lines = incoming.left(end).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        setRawHeader(name, value);
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
            bool valid = false;
            const qint64 length = value.toLongLong(&valid);
            if (!valid || length < 0) {
                fail(ProtocolFailure, QStringLiteral("the answer's length is not a number"));
                return false;
            }
            contentLength = length;
        } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
            chunked = value.toLower().contains("chunked");
        }
    }
    if (chunked)
        contentLength.reset();
    incoming.remove(0, end + 4);
    stage = Stage::Body;
    emit metaDataChanged();
    if (code < 200 || code > 299)
        setError(code == 404 ? ContentNotFoundError : UnknownContentError,
                 QStringLiteral("the service answered %1").arg(code));
    return true;
}

void SocketReply::readBody()
{
    if (chunked) {
        while (stage == Stage::Body && readChunked()) {
        }
        return;
    }
    QByteArray bytes = std::exchange(incoming, {});
    if (contentLength && bodyTotal + bytes.size() > *contentLength)
        bytes.truncate(*contentLength - bodyTotal);
    appendBody(bytes);
    if (stage == Stage::Body && contentLength && bodyTotal == *contentLength)
        finish();
}

bool SocketReply::readChunked()
{
    if (chunkLeft < 0) {
        const qsizetype lineEnd = incoming.indexOf("\r\n");
        if (lineEnd < 0) {
            if (incoming.size() > chunkLineLimit)
                fail(ProtocolFailure, QStringLiteral("a chunk's size line is too long"));
            return false;
        }
        bool ok = false;
        const qint64 size = incoming.left(lineEnd).split(';').first().trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0) {
            fail(ProtocolFailure, QStringLiteral("a chunk's size is not a number"));
            return false;
        }
        incoming.remove(0, lineEnd + 2);
        if (size == 0) {
            finish(); // trailers, if any, are not read
            return false;
        }
        chunkLeft = size;
    }
    // The chunk's data, then its line end.
    const qint64 take = std::min<qint64>(chunkLeft, incoming.size());
    appendBody(incoming.left(take));
    incoming.remove(0, take);
    chunkLeft -= take;
    if (chunkLeft > 0 || incoming.size() < 2)
        return false; // more is to come
    incoming.remove(0, 2);
    chunkLeft = -1;
    return true;
}

void SocketReply::appendBody(const QByteArray& bytes)
{
    if (bytes.isEmpty() || stage == Stage::Done)
        return;
    bodyTotal += bytes.size();
    if (bodyTotal > limits.answerBytes) {
        exceeded = true;
        fail(OperationCanceledError, QStringLiteral("the answer is larger than its limit"));
        return;
    }
    body += bytes;
    emit readyRead();
}

qint64 SocketReply::bytesAvailable() const
{
    return body.size() - bodyRead + QIODevice::bytesAvailable();
}

qint64 SocketReply::readData(char* data, qint64 maxSize)
{
    const qint64 n = std::min<qint64>(maxSize, body.size() - bodyRead);
    if (n <= 0)
        return stage == Stage::Done ? -1 : 0;
    std::memcpy(data, body.constData() + bodyRead, size_t(n));
    bodyRead += n;
    // What was read is dropped now and then, not at every read: moving a large rest forward
    // each time would make reading a long answer in slices quadratic.
    if (bodyRead > 1024 * 1024 && bodyRead * 2 > body.size()) {
        body.remove(0, bodyRead);
        bodyRead = 0;
    }
    return n;
}

void SocketReply::abort()
{
    fail(OperationCanceledError, QStringLiteral("stopped"));
}

void SocketReply::fail(NetworkError code, const QString& text)
{
    if (stage == Stage::Done)
        return;
    setError(code, text);
    emit errorOccurred(code);
    finish();
}

void SocketReply::finish()
{
    if (stage == Stage::Done)
        return;
    stage = Stage::Done;
    idleTimer.stop();
    deadlineTimer.stop();
    if (socket) {
        socket->disconnect(this);
        socket->abort();
    }
    setFinished(true);
    emit finished();
}
