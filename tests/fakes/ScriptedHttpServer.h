#pragma once

#include <QList>
#include <QMetaType>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <chrono>
#include <optional>

// A real HTTP server on loopback that gives each request the next answer of a script, for
// answers the simulator would never give: error pages, bodies in several writes, answers held
// back until the test releases them, or connections that are simply dropped.
class ScriptedHttpServer : public QTcpServer
{
public:
    struct Answer
    {
        int status = 200;
        QList<QByteArray> chunks{};
        bool held = false;      // sent only on release()
        bool dropAfter = false; // close the connection after the chunks, before the full length
        std::chrono::milliseconds pause{0}; // between two chunks: a server that trickles
        std::optional<QByteArray> raw{};    // sent instead of an answer, then the connection drops
        bool reset = false;                 // with raw: dropped by a reset, not a close
        bool keepAlive = false;             // the connection stays open for a next request
    };

    explicit ScriptedHttpServer(QList<Answer> script = {});

    QUrl url() const;
    void script(QList<Answer> next) { answers += std::move(next); }
    // Sends the held answer of request number index (counting from 0).
    void release(int index);
    // The request targets as received ("/path?query"), in order, their heads and bodies, and
    // the connection each came on (counting from 0).
    QList<QByteArray> targets;
    QList<QByteArray> heads;
    QList<QByteArray> bodies;
    QList<int> connections;

private:
    void accepted(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Answer& answer);

    QList<Answer> answers;
    int accepts = 0;
    QList<QPair<QPointer<QTcpSocket>, Answer>> heldBack;
};

Q_DECLARE_METATYPE(ScriptedHttpServer::Answer)

// An address on loopback where nothing listens: every connection is refused.
QUrl refusingUrl();
