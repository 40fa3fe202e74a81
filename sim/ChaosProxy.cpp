#include "ChaosProxy.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

ChaosProxy::ChaosProxy(QUrl target_, quint32 seed, QObject* parent)
    : QTcpServer(parent), target(std::move(target_)), random(seed)
{
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* client = nextPendingConnection())
            accepted(client);
    });
}

bool ChaosProxy::listen(const QHostAddress& address, quint16 port)
{
    return QTcpServer::listen(address, port);
}

QUrl ChaosProxy::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(serverPort()));
}

void ChaosProxy::accepted(QTcpSocket* client)
{
    client->setParent(this);
    connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    auto request = std::make_shared<QByteArray>();
    auto decided = std::make_shared<bool>(false);
    connect(client, &QTcpSocket::readyRead, this, [this, client, request, decided] {
        if (*decided) {
            // One exchange a connection: a second request on it finds the connection closed
            // and is sent again on a new one.
            client->abort();
            return;
        }
        request->append(client->readAll());
        const qsizetype headEnd = request->indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        // The whole request first: a POST's body follows its head.
        const QByteArray head = request->left(headEnd).toLower();
        const qsizetype lengthAt = head.indexOf("content-length:");
        const qsizetype length =
            lengthAt < 0 ? 0
                         : head.mid(lengthAt + 15, head.indexOf('\r', lengthAt) - lengthAt - 15)
                               .trimmed()
                               .toLongLong();
        if (request->size() < headEnd + 4 + length)
            return;
        *decided = true;
        const QByteArray method = request->left(request->indexOf(' '));
        counts[method] += 1;
        QList<Behaviour>& next = scripted[method];
        const Behaviour behaviour = !next.isEmpty() ? next.takeFirst()
                                    : drawn.isEmpty()
                                        ? Behaviour(random.bounded(int(Behaviour::Count)))
                                        : drawn.at(random.bounded(int(drawn.size())));
        behaviours[behaviour] += 1;
        misbehave(client, behaviour, *request);
    });
}

void ChaosProxy::misbehave(QTcpSocket* client, Behaviour behaviour, const QByteArray& request)
{
    switch (behaviour) {
    case Behaviour::PassThrough:
        pass(client, request, Relay::Whole);
        break;
    case Behaviour::Delay: {
        QPointer<QTcpSocket> guard(client);
        QTimer::singleShot(int(random.bounded(50, 600)), this, [this, guard, request] {
            if (guard)
                pass(guard, request, Relay::Whole);
        });
        break;
    }
    case Behaviour::ResetBeforeAnswer:
        client->abort();
        break;
    case Behaviour::ResetMidAnswer:
        pass(client, request, Relay::Half);
        break;
    case Behaviour::ForwardThenDrop:
        pass(client, request, Relay::Nothing);
        break;
    case Behaviour::ForwardThenHold:
        pass(client, request, Relay::Hold);
        break;
    case Behaviour::ServerError:
        client->write("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 5\r\n"
                      "Connection: close\r\n\r\nError");
        client->disconnectFromHost();
        break;
    case Behaviour::Garbage:
        client->write(QByteArray("\x16\x03\x01 not HTTP at all\r\n\r\n\xff\xfe"));
        client->disconnectFromHost();
        break;
    case Behaviour::Oversized: {
        client->write("HTTP/1.1 200 OK\r\nContent-Length: 8388608\r\nConnection: close\r\n\r\n");
        trickle(client, QByteArray(8 << 20, '7'), 0);
        break;
    }
    case Behaviour::Trickle:
        client->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\n");
        trickle(client, QByteArray(100, '1'), 40);
        break;
    case Behaviour::EndlessHeader:
        client->write("HTTP/1.1 200 OK\r\nX-Endless: ");
        trickle(client, QByteArray(4 << 20, 'h'), 0);
        break;
    case Behaviour::Count:
        break;
    }
}

void ChaosProxy::pass(QTcpSocket* client, const QByteArray& request, Relay relay)
{
    // One exchange a connection, so that every request meets a behaviour of its own.
    const qsizetype headEnd = request.indexOf("\r\n\r\n");
    QByteArray forwarded;
    for (const QByteArray& line : request.left(headEnd).split('\n'))
        if (!line.toLower().startsWith("connection:"))
            forwarded += line.trimmed() + "\r\n";
    forwarded += "Connection: close\r\n\r\n" + request.mid(headEnd + 4);

    auto* upstream = new QTcpSocket(client);
    auto answer = std::make_shared<QByteArray>();
    connect(upstream, &QTcpSocket::connected, upstream,
            [upstream, forwarded] { upstream->write(forwarded); });
    upstream->connectToHost(target.host(), quint16(target.port()));
    if (relay == Relay::Hold)
        return; // the answer stays with the proxy, and the client waits
    connect(upstream, &QTcpSocket::readyRead, client, [upstream, client, answer, relay] {
        const QByteArray data = upstream->readAll();
        switch (relay) {
        case Relay::Whole:
            client->write(data);
            return;
        case Relay::Nothing:
            // The server has taken the request: the client hears nothing of it.
            upstream->disconnect(client);
            client->abort();
            return;
        case Relay::Half:
        case Relay::Hold:
            break;
        }
        // The status line and a little more, then a reset.
        answer->append(data);
        const qsizetype lineEnd = answer->indexOf("\r\n");
        if (lineEnd < 0)
            return;
        client->write(answer->left(lineEnd + 2 + (answer->size() - lineEnd - 2) / 2));
        client->flush();
        upstream->disconnect(client);
        client->abort();
    });
    connect(upstream, &QTcpSocket::disconnected, client, [client] {
        client->flush();
        client->disconnectFromHost();
    });
}

void ChaosProxy::trickle(QTcpSocket* client, QByteArray data, int pauseMs)
{
    auto* timer = new QTimer(client);
    timer->setInterval(pauseMs);
    auto rest = std::make_shared<QByteArray>(std::move(data));
    connect(timer, &QTimer::timeout, client, [client, timer, rest, pauseMs] {
        if (rest->isEmpty() || client->state() != QAbstractSocket::ConnectedState) {
            timer->stop();
            client->disconnectFromHost();
            return;
        }
        // A byte at a time when trickling, a large piece when flooding.
        const qsizetype piece = pauseMs > 0 ? 1 : 256 * 1024;
        client->write(rest->left(piece));
        rest->remove(0, std::min(piece, rest->size()));
    });
    timer->start();
}
