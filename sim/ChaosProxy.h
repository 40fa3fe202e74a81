#pragma once

#include <QHostAddress>
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
        Count
    };

    ChaosProxy(QUrl target, quint32 seed, QObject* parent = nullptr);

    bool listen(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
    QUrl url() const;

    // Requests received, by their request line's method ("POST", "GET").
    int requests(const QByteArray& method) const { return counts.value(method); }
    // How many connections met each behaviour.
    QHash<Behaviour, int> behaviours;

private:
    void accepted(QTcpSocket* client);
    void misbehave(QTcpSocket* client, Behaviour behaviour, const QByteArray& request);
    void pass(QTcpSocket* client, const QByteArray& request, bool cutMidAnswer);
    void trickle(QTcpSocket* client, QByteArray data, int pauseMs);

    QUrl target;
    QRandomGenerator random;
    QHash<QByteArray, int> counts;
};
