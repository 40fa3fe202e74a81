#include "ScriptedHttpServer.h"

#include <QTimer>

#include <memory>

#include <sys/socket.h>

ScriptedHttpServer::ScriptedHttpServer(QList<Answer> script) : answers(std::move(script))
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection())
            accepted(socket);
    });
}

QUrl ScriptedHttpServer::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(serverPort()));
}

void ScriptedHttpServer::accepted(QTcpSocket* socket)
{
    socket->setParent(this);
    auto request = std::make_shared<QByteArray>();
    const int connection = accepts++;
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, request, connection] {
        request->append(socket->readAll());
        const qsizetype headEnd = request->indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        // A request's body is whole once its length has arrived.
        const QByteArray head = request->left(headEnd).toLower();
        const qsizetype length = head.indexOf("content-length:");
        const qsizetype bodySize =
            length < 0 ? 0 : head.mid(length + 15).split('\r').first().trimmed().toLongLong();
        if (request->size() < headEnd + 4 + bodySize)
            return;
        const Answer next = answers.isEmpty() ? Answer{404, {}} : answers.takeFirst();
        // One request a connection, unless kept alive: whatever follows it is not read.
        if (!next.keepAlive)
            disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        heads.append(head);
        bodies.append(request->mid(headEnd + 4, bodySize));
        targets.append(request->split(' ').value(1));
        connections.append(connection);
        request->remove(0, headEnd + 4 + bodySize);
        const int index = static_cast<int>(targets.size()) - 1;
        heldBack.append({socket, next});
        if (!next.held)
            release(index);
    });
}

void ScriptedHttpServer::release(int index)
{
    const auto [socket, held] = heldBack.at(index);
    if (socket)
        answer(socket, held);
}

void ScriptedHttpServer::answer(QTcpSocket* socket, const Answer& a)
{
    if (a.raw) {
        socket->write(*a.raw);
        socket->flush();
        if (a.reset) {
            const linger now{1, 0};
            setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
        }
        socket->abort();
        return;
    }
    const qsizetype length = a.chunks.join().size() + (a.dropAfter ? 1 : 0);
    socket->write("HTTP/1.1 " + QByteArray::number(a.status) +
                  " Scripted\r\nContent-Length: " + QByteArray::number(length) +
                  "\r\nConnection: " + (a.keepAlive ? "keep-alive" : "close") + "\r\n\r\n");
    // Each chunk leaves in a write of its own, a turn of the event loop after the one before.
    QList<QByteArray> chunks = a.chunks;
    auto* next = new QTimer(socket);
    next->setInterval(a.pause);
    connect(next, &QTimer::timeout, socket, [socket, chunks, next, a]() mutable {
        if (chunks.isEmpty()) {
            next->stop();
            socket->flush();
            if (a.dropAfter)
                socket->abort();
            else if (!a.keepAlive)
                socket->disconnectFromHost();
            return;
        }
        socket->write(chunks.takeFirst());
        socket->flush();
    });
    next->start();
}

QUrl refusingUrl()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
}
