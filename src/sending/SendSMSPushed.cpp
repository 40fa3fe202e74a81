#include "SendSMSPushed.h"

#include "Alerts.h"
#include "CharCounter.h"
#include "Clock.h"
#include "ClockTime.h"
#include "CurlReply.h"
#include "DesktopNotifications.h"
#include "MobileNumberDataSource.h"
#include "NetworkAccess.h"
#include "NumberRules.h"
#include "OpeningWords.h"
#include "Platform.h"
#include "ProgressWord.h"
#include "QueryEscaping.h"
#include "SentHistory.h"
#include "Settings.h"
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
#include <QWidget>

using namespace std::chrono_literals;

namespace {
QByteArray field(const char* name, const QString& value)
{
    return QByteArray(name) + '=' + escapedQueryValue(value);
}
} // namespace

SendSMSPushed::SendSMSPushed(const Controls& controls_, const Platform& platform,
                             ServiceEndpoints endpoints_, SentHistory& history_, Outbox& outbox_,
                             QObject* parent)
    : QObject(parent), controls(controls_), settings(platform.settings), sounds(platform.sounds),
      urls(platform.urls), alerts(platform.alerts), notifications(platform.notifications),
      timers(platform.timers), clock(platform.clock), network(platform.network),
      endpoints(std::move(endpoints_)), history(history_), outbox(outbox_),
      creditRetryTimer(platform.timers.makeTimer(true, [this] { emit creditsRefreshRequested(); }))
{
    controls.outboxOfferButton.hide();
    connect(&controls.outboxOfferButton, &QPushButton::clicked, this, &SendSMSPushed::keepForLater);
    connect(&outbox, &Outbox::tryDue, this, &SendSMSPushed::sendWaiting);
}

SendSMSPushed::~SendSMSPushed() = default;

QString SendSMSPushed::formatNumber(const QString& typed) const
{
    return ::formatNumber(typed, settings.numberTranslation());
}

void SendSMSPushed::sendsms()
{
    if (isSending())
        return;

    offered.reset();
    controls.outboxOfferButton.hide();
    controls.sendSMSButton.setEnabled(false);
    controls.progressDescription.showSteady(tr("Sending..."), TextColours::idle);
    setTurning(true);

    const QString message = controls.messageField.toPlainText();
    const QString typedNumber = controls.sendToNumberField.getNumberToSendMsgTo();
    // A number without a single digit would reach the service as an empty Msisdn.
    const QString msisdn = isNumberValid(typedNumber) ? formatNumber(typedNumber) : QString();
    const Attempt attempt{.stamp = clock.now(),
                          .message = message,
                          .number = typedNumber,
                          .msisdn = msisdn,
                          .senderID = settings.senderID()};
    if (msisdn.isEmpty()) {
        showOutcome(Outcome::InvalidNumber, attempt);
        return;
    }

    setBusy(true);
    // Whether the service has this very message is being asked of the history: sending it
    // again waits for the answer.
    for (const ReceiptCheck* check : findChildren<ReceiptCheck*>()) {
        if (check->concerns(msisdn, message)) {
            waitingPress = attempt;
            return;
        }
    }
    begin(attempt);
}

void SendSMSPushed::begin(const Attempt& attempt)
{
    // The first send of a run may come before the keyring has answered; it waits for it.
    if (attempt.outboxId.isEmpty())
        waitingForPasswords = true;
    settings.whenPasswordsRead(this, [this, attempt] {
        if (attempt.outboxId.isEmpty())
            waitingForPasswords = false;
        // Sent without its password the message would only be refused.
        if (settings.credentialsPasswordWithheld())
            showOutcome(Outcome::PasswordWithheld, attempt);
        else
            post(attempt);
    });
}

void SendSMSPushed::sendWaiting(const Outbox::Message& message)
{
    const QString msisdn = isNumberValid(message.number) ? formatNumber(message.number) : QString();
    const Attempt attempt{.stamp = clock.now(),
                          .message = message.text,
                          .number = message.number,
                          .msisdn = msisdn,
                          .senderID = message.senderID,
                          .outboxId = message.id,
                          .listedBefore = message.listedBefore};
    if (msisdn.isEmpty())
        showOutcome(Outcome::InvalidNumber, attempt);
    else if (message.tried)
        checkReceipt(attempt); // posted before, and no answer was seen
    else
        begin(attempt);
}

void SendSMSPushed::post(Attempt attempt)
{
    const Settings::Credentials credentials = settings.credentials();
    const QByteArray body = field("CompanyId", valueOrNullText(credentials.companyId)) + '&' +
                            field("UserId", valueOrNullText(credentials.userId)) + '&' +
                            field("Password", valueOrNullText(credentials.password)) + '&' +
                            field("Msisdn", attempt.msisdn) + '&' +
                            field("MessageText", attempt.message) + '&' +
                            field("OasText", valueOrNullText(attempt.senderID)) + "\r\n";

    // What the history lists before the post is what an answer that never comes is judged by.
    attempt.listedBefore = history.listedCount(attempt.msisdn, attempt.message);
    attempt.postedAt = history.mark();
    if (!attempt.outboxId.isEmpty())
        outbox.tryPosting(attempt.outboxId, attempt.listedBefore);
    PendingReply& slot = attempt.outboxId.isEmpty() ? inFlight : waitingInFlight;
    slot.start(network.postOnce(endpoints.sendMessage(), "application/x-www-form-urlencoded", body),
               [this, attempt](CurlReply& reply) { replyFinished(&reply, attempt); });
}

void SendSMSPushed::replyFinished(CurlReply* reply, const Attempt& attempt)
{
    if (attempt.outboxId.isEmpty()) {
        setBusy(false);
        controls.sendSMSButton.setEnabled(true);
    }

    // Only the status line is read: once a 200's has arrived the message was accepted, even if
    // the rest of the answer is cut off (calling that a failure invites a duplicate).
    const std::optional<int> status = reply->status();
    if (!status && reply->requestLeft())
        checkReceipt(attempt);
    else if (!status)
        showOutcome(Outcome::NotReached, attempt);
    else if (*status == 200)
        showOutcome(Outcome::Sent, attempt);
    else if (*status == 444)
        showOutcome(Outcome::InsufficientCredit, attempt);
    else
        showOutcome(Outcome::Rejected, attempt);
}

void SendSMSPushed::checkReceipt(const Attempt& attempt)
{
    if (attempt.outboxId.isEmpty()) {
        controls.statusField.setText(tr("No answer came at %1. Looking in the history for the "
                                        "message before it can be sent again...")
                                         .arg(clockTime(attempt.stamp.time())));
        controls.statusField.setPalette(
            TextColours::withText(controls.statusField.palette(), TextColours::idle));
        //: The progress word while the service's history is searched for the message.
        controls.progressDescription.showSteady(tr("Checking"), TextColours::idle);
    }
    auto* check = new ReceiptCheck(history, timers, attempt.msisdn, attempt.message,
                                   attempt.listedBefore, this);
    connect(check, &ReceiptCheck::decided, this,
            [this, check, attempt](ReceiptCheck::Verdict verdict) {
                delete check;
                receiptDecided(attempt, verdict);
            });
    check->start();
}

void SendSMSPushed::receiptDecided(const Attempt& attempt, ReceiptCheck::Verdict verdict)
{
    switch (verdict) {
    case ReceiptCheck::Verdict::Received:
        showOutcome(Outcome::SentLate, attempt);
        break;
    case ReceiptCheck::Verdict::NotReceived:
        // An outbox message found not received was due: it goes now.
        if (!attempt.outboxId.isEmpty() && attempt.postedAt == 0)
            begin(attempt);
        else
            showOutcome(Outcome::NotReceived, attempt);
        break;
    case ReceiptCheck::Verdict::Unknown:
        showOutcome(Outcome::ReceiptUnknown, attempt);
        break;
    }
    // The same message pressed again meanwhile: posted only where the service does not have it.
    if (waitingPress && waitingPress->msisdn == attempt.msisdn &&
        waitingPress->message == attempt.message) {
        const Attempt press = *std::exchange(waitingPress, std::nullopt);
        if (verdict == ReceiptCheck::Verdict::NotReceived) {
            controls.progressDescription.showSteady(tr("Sending..."), TextColours::idle);
            setTurning(true);
            begin(press);
        } else {
            setBusy(false);
            controls.sendSMSButton.setEnabled(true);
        }
    }
}

void SendSMSPushed::showOutcome(Outcome outcome, const Attempt& attempt)
{
    const bool waiting = !attempt.outboxId.isEmpty();
    std::optional<Outbox::TryEnd> end = Outbox::TryEnd::Ended;
    switch (outcome) {
    case Outcome::InvalidNumber:
        if (!waiting)
            controls.sendSMSButton.setEnabled(true);
        showFailure(tr("Invalid phone number."), attempt);
        break;
    case Outcome::NotReached:
        if (waiting) {
            // The outbox waits on: every failed try of a service still out of reach would
            // only repeat what the count of waiting messages says.
            end = Outbox::TryEnd::NotLeft;
            break;
        }
        showFailure(tr("Error talking to server."), attempt);
        offered = attempt;
        controls.outboxOfferButton.show();
        break;
    case Outcome::NotReceived:
        if (waiting) {
            end = Outbox::TryEnd::NotLeft;
            break;
        }
        showFailure(tr("Error talking to server. The service did not receive the message, so "
                       "you can send it again."),
                    attempt);
        break;
    case Outcome::ReceiptUnknown:
        end = Outbox::TryEnd::Unknown;
        showFailure(tr("Error talking to server. Whether the service received the message is "
                       "not known: look for it in the history before you send it again."),
                    attempt);
        break;
    case Outcome::PasswordWithheld:
        end = Outbox::TryEnd::NotLeft;
        if (waiting)
            break; // the window's notice says the keyring is locked
        setBusy(false);
        controls.sendSMSButton.setEnabled(true);
        showFailure(tr("Your keyring is locked, so your password cannot be read."), attempt);
        break;
    case Outcome::Rejected:
        showFailure(tr("Server rejected messages."), attempt);
        break;
    case Outcome::InsufficientCredit:
        showFailure(tr("Insufficient credits."), attempt);
        if (waiting)
            outbox.tryEnded(attempt.outboxId, Outbox::TryEnd::InsufficientCredit);
        offerCredits();
        return; // the attempt ends when the alert is dismissed
    case Outcome::Sent:
    case Outcome::SentLate:
        showSent(attempt, outcome == Outcome::SentLate);
        break;
    }
    if (waiting)
        outbox.tryEnded(attempt.outboxId, *end);
    else
        emit attemptFinished();
}

void SendSMSPushed::showFailure(const QString& reason, const Attempt& attempt)
{
    sounds.play(QStringLiteral("Sosumi"));
    const QString sentence =
        tr("Message failed at %1. %2").arg(clockTime(attempt.stamp.time()), reason);
    controls.statusField.setText(sentence);
    controls.statusField.setPalette(
        TextColours::withText(controls.statusField.palette(), TextColours::failure));
    //: The progress word beside the send indicator: the attempt failed.
    controls.progressDescription.showFor(tr("Failed"), TextColours::failure, 2s);
    if (!isSending())
        setTurning(false);
    notifyInactive(attempt, sentence);
}

void SendSMSPushed::notifyInactive(const Attempt& attempt, const QString& summary)
{
    // An outbox message goes while the user may be elsewhere.
    if (!attempt.outboxId.isEmpty() && !controls.messageField.window()->isActiveWindow())
        notifications.show(summary, openingWords(attempt.message));
}

void SendSMSPushed::keepForLater()
{
    if (!offered)
        return;
    const Attempt attempt = *std::exchange(offered, std::nullopt);
    controls.outboxOfferButton.hide();
    outbox.add({.queued = attempt.stamp,
                .number = attempt.number,
                .text = attempt.message,
                .senderID = attempt.senderID});
    // It is the outbox's now: left in the fields it would invite a second send.
    if (!isSending()) {
        if (controls.messageField.toPlainText() == attempt.message)
            controls.messageField.clear();
        controls.charCounter.updateCharacterCounter();
        if (controls.sendToNumberField.getNumberToSendMsgTo() == attempt.number)
            controls.sendToNumberField.clearNumberToSendMsgTo();
    }
    controls.statusField.setText(tr("The message waits in the outbox, and is sent as soon as the "
                                    "service can be reached."));
    controls.statusField.setPalette(
        TextColours::withText(controls.statusField.palette(), TextColours::idle));
    controls.messageField.setFocus(Qt::OtherFocusReason);
}

QString SendSMSPushed::takeBack(const QString& id)
{
    if (isSending())
        return tr("A message is being sent; take this one back when it has gone.");
    if (outbox.isTrying(id))
        return tr("The message is being sent now and cannot be taken back.");
    const Outbox::Message* waiting = outbox.find(id);
    if (!waiting)
        return tr("The message is no longer in the outbox.");
    const QString typed = controls.messageField.toPlainText();
    if (!typed.isEmpty() && typed != waiting->text)
        return tr("Send or clear the message you are typing first.");
    const Outbox::Message message = *outbox.take(id);
    offered.reset();
    controls.outboxOfferButton.hide();
    controls.messageField.setPlainText(message.text);
    controls.sendToNumberField.setNumberToSendMsgTo(message.number);
    controls.charCounter.updateCharacterCounter();
    controls.messageField.setFocus(Qt::OtherFocusReason);
    return {};
}

void SendSMSPushed::offerCredits()
{
    setTurning(true); // keeps turning until the alert is dismissed
    controls.progressDescription.showSteady(tr("Failed"), TextColours::failure);
    alerts.show(this, Alerts::Style::Warning, tr("Insufficient credits in account"),
                tr("You do not have sufficient credit to send this message.  Please "
                   "top-up and then try resending."),
                [this] {
                    if (const auto details = settings.accountDetails())
                        urls.open(endpoints.buyCredits(details->emailAddress));
                    controls.progressDescription.showFor(tr("Failed"), TextColours::failure, 2s);
                    // However many refusals a run has, one repeating refresh is enough.
                    if (!creditRetryTimer->isActive())
                        creditRetryTimer->start(180s);
                    setTurning(false);
                    emit attemptFinished();
                });
}

void SendSMSPushed::showSent(const Attempt& attempt, bool late)
{
    controls.sendToNumberField.updateComboBoxWithNewNumber(attempt.number);
    // Text that another program put in while the request was out is not the sent message, and
    // stays; so does a recipient filled in meanwhile. An outbox message was not in the fields.
    if (attempt.outboxId.isEmpty()) {
        if (controls.messageField.toPlainText() == attempt.message)
            controls.messageField.clear();
        controls.charCounter.updateCharacterCounter();
        if (controls.sendToNumberField.getNumberToSendMsgTo() == attempt.number)
            controls.sendToNumberField.clearNumberToSendMsgTo();
    }
    // The listing that showed a late one holds it already.
    if (!late)
        history.noteAccepted(attempt.msisdn, attempt.message, attempt.postedAt);
    sounds.play(QStringLiteral("Purr"));
    const QString sentence =
        late ? tr("Message sent at %1. Its answer never came, but the service's history lists it.")
                   .arg(clockTime(attempt.stamp.time()))
             : tr("Message sent at %1.").arg(clockTime(attempt.stamp.time()));
    controls.statusField.setText(sentence);
    controls.statusField.setPalette(
        TextColours::withText(controls.statusField.palette(), TextColours::success));
    timers.singleShot(10s, this, [this] { emit historyRefreshRequested(); });
    timers.singleShot(60s, this, [this] { emit historyRefreshRequested(); });
    controls.progressDescription.showFor(tr("Sent"), TextColours::success, 5s);
    timers.singleShot(5s, this, [this] { emit creditsRefreshRequested(); });
    if (!isSending())
        setTurning(false);
    if (attempt.outboxId.isEmpty())
        controls.messageField.setFocus(Qt::OtherFocusReason);
    notifyInactive(attempt, sentence);
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
