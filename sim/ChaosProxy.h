#pragma once

#include <QHostAddress>
#include <QList>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QUrl>

// Stands in front of the simulator's secure host and, for each connection, misbehaves at
// random as a broken network or a hostile server would: it delays, resets before or part-way
// through the answer, answers 500 or garbage, sends an oversized or trickling answer, or a
// header that never ends; or it passes the exchange through untouched. The same seed gives
// the same sequence of behaviours.
class ChaosProxy : public QTcpServer
{
    Q_OBJECT
public:
    enum class Behaviour
    {
        PassThrough,
        Delay,
        ResetBeforeAnswer,
        ResetMidAnswer,
        ServerError,
        Garbage,
        Oversized,
        Trickle,
        EndlessHeader,
        ForwardThenDrop, // the server has the request; the connection drops before its answer
        ForwardThenHold, // the server has the request; its answer never comes
        Count
    };

    ChaosProxy(QUrl target, quint32 seed, QObject* parent = nullptr);

    bool listen(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
    QUrl url() const;

    // The behaviours to draw from at random (all of them unless narrowed).
    void drawFrom(QList<Behaviour> pool) { drawn = std::move(pool); }
    // The next requests of that method ("POST", "GET") meet these behaviours in turn, before
    // any drawn at random.
    void script(const QByteArray& method, const QList<Behaviour>& next)
    {
        scripted[method] += next;
    }

    // Requests received, by their request line's method ("POST", "GET").
    int requests(const QByteArray& method) const { return counts.value(method); }
    // How many connections met each behaviour.
    QHash<Behaviour, int> behaviours;

private:
    void accepted(QTcpSocket* client);
    void misbehave(QTcpSocket* client, Behaviour behaviour, const QByteArray& request);
    enum class Relay
    {
        Whole,
        Half,    // the status line and part of the rest, then a reset
        Nothing, // the client hears nothing; it is reset once the server has answered
        Hold     // the client hears nothing, ever
    };
    void pass(QTcpSocket* client, const QByteArray& request, Relay relay);
    void trickle(QTcpSocket* client, QByteArray data, int pauseMs);

    QUrl target;
    QRandomGenerator random;
    QHash<QByteArray, int> counts;
    QList<Behaviour> drawn;
    QHash<QByteArray, QList<Behaviour>> scripted;
};
