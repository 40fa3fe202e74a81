#pragma once

#include <QTcpServer>
#include <QUrl>

// A proxy on loopback, as corporate and school networks have: it tunnels CONNECT requests (for
// https) and forwards plain requests (for http), and notes what passed through it.
class ConnectProxy : public QTcpServer
{
public:
    ConnectProxy();

    // http://127.0.0.1:port, with the user and password given, if any.
    QUrl url(const QString& userInfo = {}) const;

    // What each request asked for: "host:port" to tunnel, or the absolute URL to forward.
    QList<QByteArray> targets;
    // The Proxy-Authorization of each, empty where there was none.
    QList<QByteArray> authorizations;

private:
    void accepted(QTcpSocket* client);
};
