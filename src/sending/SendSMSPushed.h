#pragma once

#include "Outbox.h"
#include "PendingReply.h"
#include "ReceiptCheck.h"
#include "ServiceEndpoints.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <memory>

class Alerts;
class CharCounter;
class Clock;
class CurlReply;
class DesktopNotifications;
class MobileNumberDataSource;
class NetworkAccess;
class ProgressWord;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;
class SentHistory;
class Settings;
class SoundPlayer;
class Timer;
class TimerSource;
class UrlOpener;
struct Platform;

// Sends the typed message to the recipient in one request to the messaging interface and tells
// the user the outcome: a status sentence with the time, a progress word, a sound, and for a
// lack of credit an alert and the buy-credits page. The request never blocks the event loop;
// while it is out, Send is disabled and no second attempt can start.
//
// When no answer came to a request that left, the history tells whether the service has the
// message before the user may send it again. A request that never left can be put in the outbox,
// whose messages this class also sends when they are due, beside what the user sends by hand.
class SendSMSPushed : public QObject
{
    Q_OBJECT
public:
    // The main window's controls it works, and the recipient and counter objects it asks.
    struct Controls
    {
        QPlainTextEdit& messageField;
        QProgressBar& sendProgressField;
        MobileNumberDataSource& sendToNumberField;
        QLabel& statusField;
        CharCounter& charCounter;
        ProgressWord& progressDescription;
        QPushButton& sendSMSButton;
        QPushButton& outboxOfferButton; // puts a message that never left in the outbox
    };

    SendSMSPushed(const Controls& controls, const Platform& platform, ServiceEndpoints endpoints,
                  SentHistory& history, Outbox& outbox, QObject* parent = nullptr);
    ~SendSMSPushed() override;

    const Controls controls;

    bool isSending() const { return waitingForPasswords || bool(inFlight) || waitingPress; }

    QString formatNumber(const QString& typed) const;

public Q_SLOTS:
    void sendsms();
    void resetProgressDescription();
    // Puts the message that never left in the outbox (the offer next to the status line).
    void keepForLater();
    // Tries a message of the outbox.
    void sendWaiting(const Outbox::Message& message);

public:
    // Moves a message of the outbox into the fields to be changed; why not, where it cannot
    // (one is being sent, other text is being typed: nothing typed is overwritten).
    QString takeBack(const QString& id);

Q_SIGNALS:
    // The credit balance is due for a refresh (5 s after a sent message; every 180 s once a
    // send was refused for lack of credit).
    void creditsRefreshRequested();
    // The history is due for a refresh (10 s and 60 s after a sent message).
    void historyRefreshRequested();
    // The service accepted a message; the fields no longer hold it unless typed in meanwhile.
    void messageSent(const QString& msisdn, const QString& recipient, const QString& message);
    // An attempt has shown its outcome.
    void attemptFinished();

private:
    enum class Outcome
    {
        InvalidNumber,
        PasswordWithheld, // the keyring would not hand out the password
        NotReached,       // nothing of the request left this machine
        NotReceived,      // no answer came, and the history does not list the message
        ReceiptUnknown,   // no answer came, and the history could not be read
        InsufficientCredit,
        Rejected,
        Sent,
        SentLate // no answer came, but the history lists the message
    };

    // What an attempt sent: as it stood in the message view and the recipient box, or as it
    // waited in the outbox.
    struct Attempt
    {
        QDateTime stamp{};
        QString message{};
        QString number{}; // as typed
        QString msisdn{}; // as sent
        std::optional<QString> senderID{};
        QString outboxId{};                // empty for the fields' message
        std::optional<int> listedBefore{}; // the history's count before the post
        quint64 postedAt = 0;              // the history's mark at the post
    };

    void begin(const Attempt& attempt);
    void post(Attempt attempt);
    void replyFinished(CurlReply* reply, const Attempt& attempt);
    void checkReceipt(const Attempt& attempt);
    void receiptDecided(const Attempt& attempt, ReceiptCheck::Verdict verdict);
    void showOutcome(Outcome outcome, const Attempt& attempt);
    void showFailure(const QString& reason, const Attempt& attempt);
    void showSent(const Attempt& attempt, bool late);
    void notifyInactive(const Attempt& attempt, const QString& summary);
    void offerCredits();
    void setBusy(bool busy);
    void setTurning(bool turning);

    Settings& settings;
    SoundPlayer& sounds;
    UrlOpener& urls;
    Alerts& alerts;
    DesktopNotifications& notifications;
    TimerSource& timers;
    Clock& clock;
    NetworkAccess& network;
    ServiceEndpoints endpoints;
    SentHistory& history;
    Outbox& outbox;

    bool waitingForPasswords = false;
    PendingReply inFlight{this};
    PendingReply waitingInFlight{this}; // an outbox message's
    // A press of Send for a message whose receipt is being checked: posted once the service
    // is found not to have it.
    std::optional<Attempt> waitingPress;
    std::optional<Attempt> offered; // for the outbox
    std::unique_ptr<Timer> creditRetryTimer;
};
