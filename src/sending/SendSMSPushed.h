#pragma once

#include "PendingReply.h"
#include "ServiceEndpoints.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <memory>

class Alerts;
class CharCounter;
class Clock;
class CurlReply;
class MobileNumberDataSource;
class NetworkAccess;
class ProgressWord;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;
class SettingsStore;
class SoundPlayer;
class Timer;
class TimerSource;
class UrlOpener;
struct Platform;

// Sends the typed message to the recipient in one request to the messaging interface and tells
// the user the outcome: a status sentence with the time, a progress word, a sound, and for a
// lack of credit an alert and the buy-credits page. The request never blocks the event loop;
// while it is out, Send is disabled and no second attempt can start.
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
    };

    SendSMSPushed(const Controls& controls, const Platform& platform, ServiceEndpoints endpoints,
                  QObject* parent = nullptr);
    ~SendSMSPushed() override;

    const Controls controls;

    bool isSending() const { return waitingForPasswords || bool(inFlight); }

    QString formatNumber(const QString& typed) const;

public Q_SLOTS:
    void sendsms();
    void resetProgressDescription();

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
        TransportError,
        InsufficientCredit,
        Rejected,
        Sent
    };

    // What an attempt sent, as it stood in the message view and the recipient box.
    struct Attempt
    {
        QDateTime stamp;
        QString message;
        QString number; // as typed
        QString msisdn; // as sent
    };

    void post(const Attempt& attempt);
    void replyFinished(CurlReply* reply, const Attempt& attempt);
    void showOutcome(Outcome outcome, const Attempt& attempt);
    void showFailure(const QString& reason, const QDateTime& stamp);
    void showSent(const Attempt& attempt);
    void offerCredits();
    void setBusy(bool busy);
    void setTurning(bool turning);

    SettingsStore& settings;
    SoundPlayer& sounds;
    UrlOpener& urls;
    Alerts& alerts;
    TimerSource& timers;
    Clock& clock;
    NetworkAccess& network;
    ServiceEndpoints endpoints;

    bool waitingForPasswords = false;
    PendingReply inFlight{this};
    std::unique_ptr<Timer> creditRetryTimer;
};
