#pragma once

#include "Outbox.h"
#include "PendingReply.h"
#include "RecipientList.h"
#include "SendToSeveral.h"
#include "ServiceEndpoints.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <map>
#include <memory>

class AddressBook;
class Alerts;
class CharCounter;
class Clock;
class CurlReply;
class DesktopNotifications;
class MobileNumberDataSource;
class NetworkAccess;
class ProgressWord;
class QAbstractItemView;
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
class RecipientOutcomes;
class UrlOpener;
struct Platform;

// Sends the typed message to each recipient in one request to the messaging interface and tells
// the user the outcome: a status sentence with the time, a progress word, a sound, and for a
// lack of credit an alert and the buy-credits page. The requests never block the event loop;
// while one is out, Send is disabled and no second attempt can start. To several recipients the
// requests go one at a time, each distinct number once, and each recipient's outcome goes in a
// list; the recipient box keeps those that did not get the message.
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
        QPushButton& outboxOfferButton;  // puts a message that never left in the outbox
        QAbstractItemView& outcomesView; // each recipient's outcome of a send to several
    };

    SendSMSPushed(const Controls& controls, const Platform& platform, ServiceEndpoints endpoints,
                  MessageJournal& journal, Outbox& outbox, QObject* parent = nullptr);
    ~SendSMSPushed() override;

    const Controls controls;

    bool isSending() const
    {
        return confirming || waitingForPasswords || !fieldsRecord.isEmpty() || several.has_value();
    }

    QString formatNumber(const QString& typed) const;
    // Whether the message view holds this message and the recipient box its recipient now.
    bool fieldsHold(const JournalFile::Record& record) const;
    // The recipients the box holds now, for the count of messages a send takes.
    RecipientList recipients() const;

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
    // A send to several recipients asked the service for one of them, or ended.
    void recipientFinished();

private:
    using Record = JournalFile::Record;
    using Outcome = MessageJournal::Outcome;

    void begin(RecipientList list, const Record& message);
    // Makes the journal's record of a press the one the fields follow; false, and why, when it
    // cannot go from here.
    bool follow(const Record& message, QString* refusal);
    void sendNext();
    QString progressText() const;
    void severalSettled(const Record& record, Outcome outcome);
    void recipientGotIt(const Record& record);
    // why: what stopped the rest, if anything but a lack of credit.
    void severalEnded(const QString& why = {});
    void refreshesAfterSent();
    void letGo(const Record& record);
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

    AddressBook& addressBook;
    RecipientOutcomes* outcomes;

    bool confirming = false; // asked whether to send to many
    bool waitingForPasswords = false;
    QString fieldsRecord; // the journal's record the fields follow, while it is out
    std::optional<SendToSeveral> several;
    std::map<QString, std::unique_ptr<PendingReply>> posts;
    QHash<QString, QDateTime> stamps; // when each message under way was sent or tried
    QList<Record> offered;            // for the outbox
    std::unique_ptr<Timer> creditRetryTimer;
};
