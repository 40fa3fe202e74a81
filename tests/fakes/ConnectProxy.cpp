#include "ConnectProxy.h"

#include <QTcpSocket>

#include <memory>

ConnectProxy::ConnectProxy()
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* client = nextPendingConnection())
            accepted(client);
    });
}

QUrl ConnectProxy::url(const QString& userInfo) const
{
    QUrl url(QStringLiteral("http://127.0.0.1"));
    url.setPort(serverPort());
    url.setUserInfo(userInfo);
    return url;
}

void ConnectProxy::accepted(QTcpSocket* client)
{
    client->setParent(this);
    auto head = std::make_shared<QByteArray>();
    auto tunnel = std::make_shared<bool>(false);
    auto* target = new QTcpSocket(client);
    connect(client, &QTcpSocket::readyRead, this, [this, client, head, tunnel, target] {
        if (target->state() == QAbstractSocket::ConnectedState) {
            target->write(client->readAll());
            return;
        }
        head->append(client->readAll());
        if (!head->contains("\r\n\r\n") || target->state() != QAbstractSocket::UnconnectedState)
            return;
        const QList<QByteArray> lines = head->left(head->indexOf("\r\n\r\n")).split('\n');
        const QList<QByteArray> request = lines.first().split(' ');
        QByteArray authorization;
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("proxy-authorization:"))
                authorization = line.mid(line.indexOf(':') + 1).trimmed();
        }
        targets.append(request.value(1));
        authorizations.append(authorization);
        *tunnel = request.value(0) == "CONNECT";
        const QUrl to = *tunnel ? QUrl("//" + request.value(1)) : QUrl(request.value(1));
        target->connectToHost(to.host(), quint16(to.port(80)));
    });
    connect(target, &QTcpSocket::connected, target, [client, target, head, tunnel] {
        if (!*tunnel) {
            target->write(*head); // the server reads the absolute URL as any other
            return;
        }
        client->write("HTTP/1.1 200 Connection established\r\n\r\n");
        // Whatever followed the head already belongs to the tunnel.
        target->write(head->mid(head->indexOf("\r\n\r\n") + 4));
    });
    connect(target, &QTcpSocket::readyRead, client,
            [client, target] { client->write(target->readAll()); });
    connect(target, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
    connect(client, &QTcpSocket::disconnected, target, &QTcpSocket::disconnectFromHost);
}
