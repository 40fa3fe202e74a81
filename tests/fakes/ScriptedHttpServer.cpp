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
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
        request->append(socket->readAll());
        if (!request->contains("\r\n\r\n"))
            return;
        targets.append(request->split(' ').value(1));
        const int index = static_cast<int>(targets.size()) - 1;
        const Answer next = answers.isEmpty() ? Answer{404, {}} : answers.takeFirst();
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
    socket->write("HTTP/1.1 " + QByteArray::number(a.status) + " Scripted\r\nContent-Length: " +
                  QByteArray::number(length) + "\r\nConnection: close\r\n\r\n");
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
            else
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
