#pragma once

#include <QObject>
#include <QString>

#include <optional>

class SentHistory;
class TimerSource;

// Finds out from the service's history whether a message whose answer never came was received:
// one more row for its number and text than the history listed before it was posted means it
// was. No such row at once, nor at a second look a little later (the service may list it late),
// means it was not. When the history cannot tell, neither can this.
class ReceiptCheck : public QObject
{
    Q_OBJECT
public:
    enum class Verdict
    {
        Received,
        NotReceived,
        Unknown
    };

    // listedBefore: the history's count for the message before it was posted, where known.
    ReceiptCheck(SentHistory& history, TimerSource& timers, QString msisdn, QString text,
                 std::optional<int> listedBefore, QObject* parent = nullptr);

    void start();

Q_SIGNALS:
    void decided(ReceiptCheck::Verdict verdict);

private:
    void look();
    void counted(std::optional<int> count);

    SentHistory& history;
    TimerSource& timers;
    const QString msisdn;
    const QString text;
    const std::optional<int> listedBefore;
    bool secondLook = false;
};
