#include "SendSMSPushed.h"

#include "Alerts.h"
#include "CharCounter.h"
#include "Clock.h"
#include "ClockTime.h"
#include "Credentials.h"
#include "CurlReply.h"
#include "MobileNumberDataSource.h"
#include "NetworkAccess.h"
#include "NumberRules.h"
#include "Platform.h"
#include "ProgressWord.h"
#include "QueryEscaping.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "SoundPlayer.h"
#include "TextColours.h"
#include "TimerSource.h"
#include "UrlOpener.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace std::chrono_literals;

namespace {
std::optional<QString> entry(const StringDictionary& dictionary, QLatin1String key)
{
    if (!dictionary.contains(key))
        return std::nullopt;
    return dictionary.value(key);
}

QByteArray field(const char* name, const QString& value)
{
    return QByteArray(name) + '=' + escapedQueryValue(value);
}
} // namespace

SendSMSPushed::SendSMSPushed(const Controls& controls_, const Platform& platform,
                             ServiceEndpoints endpoints_, QObject* parent)
    : QObject(parent), controls(controls_), settings(platform.settings), sounds(platform.sounds),
      urls(platform.urls), alerts(platform.alerts), timers(platform.timers), clock(platform.clock),
      network(platform.network), endpoints(std::move(endpoints_)),
      creditRetryTimer(platform.timers.makeTimer(true, [this] { emit creditsRefreshRequested(); }))
{}

SendSMSPushed::~SendSMSPushed() = default;

QString SendSMSPushed::formatNumber(const QString& typed) const
{
    return ::formatNumber(typed, settings.dictionaryForKey(SettingsKeys::numberTranslation));
}

void SendSMSPushed::sendsms()
{
    if (isSending())
        return;

    controls.sendSMSButton.setEnabled(false);
    controls.progressDescription.showSteady(tr("Sending..."), TextColours::idle);
    setTurning(true);

    const QString message = controls.messageField.toPlainText();
    const QString typedNumber = controls.sendToNumberField.getNumberToSendMsgTo();
    // A number without a single digit would reach the service as an empty Msisdn.
    const QString msisdn = isNumberValid(typedNumber) ? formatNumber(typedNumber) : QString();
    const Attempt attempt{clock.now(), message, typedNumber, msisdn};
    if (msisdn.isEmpty()) {
        showOutcome(Outcome::InvalidNumber, attempt);
        return;
    }

    // The first send of a run may come before the keyring has answered; it waits for it.
    setBusy(true);
    waitingForPasswords = true;
    settings.whenPasswordsRead(this, [this, attempt] {
        waitingForPasswords = false;
        // Sent without its password the message would only be refused.
        if (settings.isPasswordWithheld(SettingsKeys::QuibboAPIConnectionParams))
            showOutcome(Outcome::PasswordWithheld, attempt);
        else
            post(attempt);
    });
}

void SendSMSPushed::post(const Attempt& attempt)
{
    const StringDictionary credentials = storedCredentials(settings);
    const std::optional<QString> senderID = settings.stringForKey(SettingsKeys::senderID);
    const QByteArray body =
        field("CompanyId", valueOrNullText(entry(credentials, SettingsKeys::CompanyId))) + '&' +
        field("UserId", valueOrNullText(entry(credentials, SettingsKeys::UserId))) + '&' +
        field("Password", valueOrNullText(entry(credentials, SettingsKeys::Password))) + '&' +
        field("Msisdn", attempt.msisdn) + '&' + field("MessageText", attempt.message) + '&' +
        field("OasText", valueOrNullText(senderID)) + "\r\n";

    inFlight.start(
        network.postOnce(endpoints.sendMessage(), "application/x-www-form-urlencoded", body),
        [this, attempt](CurlReply& reply) { replyFinished(&reply, attempt); });
}

void SendSMSPushed::replyFinished(CurlReply* reply, const Attempt& attempt)
{
    setBusy(false);
    controls.sendSMSButton.setEnabled(true);

    // Only the status line is read: once a 200's has arrived the message was accepted, even if
    // the rest of the answer is cut off (calling that a failure invites a duplicate).
    const std::optional<int> status = reply->status();
    if (!status)
        showOutcome(Outcome::TransportError, attempt);
    else if (*status == 200)
        showOutcome(Outcome::Sent, attempt);
    else if (*status == 444)
        showOutcome(Outcome::InsufficientCredit, attempt);
    else
        showOutcome(Outcome::Rejected, attempt);
}

void SendSMSPushed::showOutcome(Outcome outcome, const Attempt& attempt)
{
    const QDateTime& stamp = attempt.stamp;
    switch (outcome) {
    case Outcome::InvalidNumber:
        controls.sendSMSButton.setEnabled(true);
        showFailure(tr("Invalid phone number."), stamp);
        break;
    case Outcome::TransportError:
        showFailure(tr("Error talking to server."), stamp);
        break;
    case Outcome::PasswordWithheld:
        setBusy(false);
        controls.sendSMSButton.setEnabled(true);
        showFailure(tr("Your keyring is locked, so your password cannot be read."), stamp);
        break;
    case Outcome::Rejected:
        showFailure(tr("Server rejected messages."), stamp);
        break;
    case Outcome::InsufficientCredit:
        showFailure(tr("Insufficient credits."), stamp);
        offerCredits();
        return; // the attempt ends when the alert is dismissed
    case Outcome::Sent:
        showSent(attempt);
        break;
    }
    emit attemptFinished();
}

void SendSMSPushed::showFailure(const QString& reason, const QDateTime& stamp)
{
    sounds.play(QStringLiteral("Sosumi"));
    controls.statusField.setText(
        tr("Message failed at %1. %2").arg(clockTime(stamp.time()), reason));
    controls.statusField.setPalette(
        TextColours::withText(controls.statusField.palette(), TextColours::failure));
    controls.progressDescription.showFor(tr("Failed"), TextColours::failure, 2s);
    setTurning(false);
}

void SendSMSPushed::offerCredits()
{
    setTurning(true); // keeps turning until the alert is dismissed
    controls.progressDescription.showSteady(tr("Failed"), TextColours::failure);
    alerts.show(this, Alerts::Style::Warning, tr("Insufficient credits in account"),
                tr("You do not have sufficient credit to send this message.  Please "
                   "top-up and then try resending."),
                [this] {
                    const StringDictionary details =
                        settings.dictionaryForKey(SettingsKeys::accountDetails)
                            .value_or(StringDictionary());
                    if (!details.isEmpty())
                        urls.open(endpoints.buyCredits(details.value(SettingsKeys::emailAddress)));
                    controls.progressDescription.showFor(tr("Failed"), TextColours::failure, 2s);
                    // However many refusals a run has, one repeating refresh is enough.
                    if (!creditRetryTimer->isActive())
                        creditRetryTimer->start(180s);
                    setTurning(false);
                    emit attemptFinished();
                });
}

void SendSMSPushed::showSent(const Attempt& attempt)
{
    controls.sendToNumberField.updateComboBoxWithNewNumber(attempt.number);
    // Text that another program put in while the request was out is not the sent message, and
    // stays; so does a recipient filled in meanwhile.
    if (controls.messageField.toPlainText() == attempt.message)
        controls.messageField.clear();
    controls.charCounter.updateCharacterCounter();
    if (controls.sendToNumberField.getNumberToSendMsgTo() == attempt.number)
        controls.sendToNumberField.clearNumberToSendMsgTo();
    sounds.play(QStringLiteral("Purr"));
    controls.statusField.setText(tr("Message sent at %1.").arg(clockTime(attempt.stamp.time())));
    controls.statusField.setPalette(
        TextColours::withText(controls.statusField.palette(), TextColours::success));
    timers.singleShot(10s, this, [this] { emit historyRefreshRequested(); });
    timers.singleShot(60s, this, [this] { emit historyRefreshRequested(); });
    controls.progressDescription.showFor(tr("Sent"), TextColours::success, 5s);
    timers.singleShot(5s, this, [this] { emit creditsRefreshRequested(); });
    setTurning(false);
    controls.messageField.setFocus(Qt::OtherFocusReason);
    emit messageSent(attempt.msisdn, attempt.number, attempt.message);
}

void SendSMSPushed::resetProgressDescription()
{
    controls.progressDescription.reset();
}

void SendSMSPushed::setTurning(bool turning)
{
    // The indicator is seen only while it turns; the window keeps its place when it is hidden.
    controls.sendProgressField.setRange(0, turning ? 0 : 1);
    controls.sendProgressField.setVisible(turning);
}

void SendSMSPushed::setBusy(bool busy)
{
    // What is on screen is what is being sent: a success empties both fields, so nothing typed
    // while the request is out may be lost with them.
    controls.messageField.setReadOnly(busy);
    if (QLineEdit* edit = controls.sendToNumberField.controls.myComboBox.lineEdit())
        edit->setReadOnly(busy);
}
