#pragma once

#include "Outbox.h"
#include "PendingReply.h"
#include "ServiceEndpoints.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <map>
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
class Settings;
class SoundPlayer;
class StorageStatus;
class Timer;
class TimerSource;
class UrlOpener;
struct Platform;

// Sends the typed message to the recipient in one request to the messaging interface and tells
// the user the outcome: a status sentence with the time, a progress word, a sound, and for a
// lack of credit an alert and the buy-credits page. The request never blocks the event loop;
// while it is out, Send is disabled and no second attempt can start.
//
// What becomes of a message, sent by hand or from the outbox, is the journal's: this class
// posts what the journal says is due, reports each answer to it, and shows what it settled.
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
                  MessageJournal& journal, Outbox& outbox, QObject* parent = nullptr);
    ~SendSMSPushed() override;

    const Controls controls;

    bool isSending() const { return waitingForPasswords || !fieldsRecord.isEmpty(); }

    QString formatNumber(const QString& typed) const;
    // Whether the message view and the recipient box hold this message now.
    bool fieldsHold(const JournalFile::Record& record) const;

public Q_SLOTS:
    void sendsms();
    void resetProgressDescription();
    // Puts the message that never left in the outbox (the offer next to the status line).
    void keepForLater();

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
    // An attempt from the fields has shown its outcome.
    void attemptFinished();

private:
    using Record = JournalFile::Record;
    using Outcome = MessageJournal::Outcome;

    void post(const Record& record);
    void checkStarted(const Record& record);
    void recorded(const Record& message);
    void settled(const Record& record, Outcome outcome);
    void showFailure(const QString& reason, const QDateTime& stamp, const Record& record);
    void showSent(const Record& record, const QDateTime& stamp, bool late);
    void notifyInactive(const Record& record, const QString& summary);
    void offerCredits();
    void fieldsReleased();
    void setBusy(bool busy);
    void setTurning(bool turning);

    Settings& settings;
    SoundPlayer& sounds;
    UrlOpener& urls;
    Alerts& alerts;
    DesktopNotifications& notifications;
    StorageStatus& storage;
    TimerSource& timers;
    Clock& clock;
    NetworkAccess& network;
    ServiceEndpoints endpoints;
    MessageJournal& journal;
    Outbox& outbox;

    bool waitingForPasswords = false;
    QString fieldsRecord; // the journal's record the fields follow, while it is out
    std::map<QString, std::unique_ptr<PendingReply>> posts;
    QHash<QString, QDateTime> stamps; // when each message under way was sent or tried
    std::optional<Record> offered;    // for the outbox
    std::unique_ptr<Timer> creditRetryTimer;
};
