#include "SendSMSPushed.h"

#include "AddressBook.h"
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
#include "RecipientOutcomes.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "StorageStatus.h"
#include "TextColours.h"
#include "TimerSource.h"
#include "UrlOpener.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

using namespace std::chrono_literals;

namespace {
QByteArray field(const char* name, const QString& value)
{
    return QByteArray(name) + '=' + escapedQueryValue(value);
}
} // namespace

SendSMSPushed::SendSMSPushed(const Controls& controls_, const Platform& platform,
                             ServiceEndpoints endpoints_, MessageJournal& journal_, Outbox& outbox_,
                             QObject* parent)
    : QObject(parent), controls(controls_), settings(platform.settings), sounds(platform.sounds),
      urls(platform.urls), alerts(platform.alerts), notifications(platform.notifications),
      storage(platform.storage), timers(platform.timers), clock(platform.clock),
      network(platform.network), endpoints(std::move(endpoints_)), journal(journal_),
      outbox(outbox_), addressBook(platform.addressBook), outcomes(new RecipientOutcomes(this)),
      creditRetryTimer(platform.timers.makeTimer(true, [this] { emit creditsRefreshRequested(); }))
{
    controls.outboxOfferButton.hide();
    controls.outcomesView.setModel(outcomes);
    controls.outcomesView.hide();
    connect(&controls.outboxOfferButton, &QPushButton::clicked, this, &SendSMSPushed::keepForLater);
    connect(&journal, &MessageJournal::postDue, this, &SendSMSPushed::post);
    connect(&journal, &MessageJournal::checkStarted, this, &SendSMSPushed::checkStarted);
    connect(&journal, &MessageJournal::recorded, this, &SendSMSPushed::recorded);
    connect(&journal, &MessageJournal::settled, this, &SendSMSPushed::settled);
}

SendSMSPushed::~SendSMSPushed() = default;

QString SendSMSPushed::formatNumber(const QString& typed) const
{
    return RecipientList::numberToSend(typed, settings.numberTranslation(), NumberTrace::Logged);
}

RecipientList SendSMSPushed::recipients() const
{
    return RecipientList(controls.sendToNumberField.getNumberToSendMsgTo(),
                         settings.numberTranslation(), RecipientList::namesIn(addressBook));
}

bool SendSMSPushed::fieldsHold(const Record& record) const
{
    return controls.messageField.toPlainText().trimmed() == record.text.trimmed() &&
           RecipientList::split(controls.sendToNumberField.getNumberToSendMsgTo())
               .contains(record.number.trimmed());
}

void SendSMSPushed::sendsms()
{
    if (isSending())
        return;

    offered.clear();
    controls.outboxOfferButton.hide();
    controls.sendSMSButton.setEnabled(false);
    controls.progressDescription.showSteady(tr("Sending..."), TextColours::idle);
    setTurning(true);

    const QDateTime stamp = clock.now();
    const QString box = controls.sendToNumberField.getNumberToSendMsgTo();
    RecipientList list(box, settings.numberTranslation(), RecipientList::namesIn(addressBook),
                       NumberTrace::Logged);
    Record message{.queued = stamp,
                   .number = box.trimmed(),
                   .text = controls.messageField.toPlainText(),
                   .senderID = settings.senderID()};
    const bool alone = RecipientList::split(box).size() <= 1;
    if (!list.problem().isEmpty() || list.distinct().isEmpty()) {
        controls.sendSMSButton.setEnabled(true);
        showFailure(alone && list.choices().isEmpty() ? tr("Invalid phone number.")
                                                      : list.problem(),
                    stamp, message);
        emit attemptFinished();
        return;
    }
    if (list.distinct().size() <= 10) {
        begin(std::move(list), message);
        return;
    }
    confirming = true;
    const qsizetype count = list.distinct().size();
    alerts.confirm(this, tr("Send this message to %n recipients?", nullptr, int(count)),
                   tr("Each recipient is sent a message of their own, and each is charged."),
                   tr("&Send to All"), [this, list = std::move(list), message](bool goOn) mutable {
                       confirming = false;
                       if (goOn) {
                           begin(std::move(list), message);
                           return;
                       }
                       controls.sendSMSButton.setEnabled(true);
                       controls.progressDescription.reset();
                       setTurning(false);
                       emit attemptFinished();
                   });
}

void SendSMSPushed::begin(RecipientList list, const Record& first)
{
    Record message = first;
    message.number = list.distinct().first().typed;
    message.msisdn = list.distinct().first().msisdn;
    outcomes->clear();
    controls.outcomesView.setVisible(list.distinct().size() > 1);
    if (list.distinct().size() > 1)
        several.emplace(list, message, *outcomes);
    setBusy(true);
    // The first send of a run may come before the keyring has answered; it waits for it.
    waitingForPasswords = true;
    settings.whenPasswordsRead(this, [this, message] {
        waitingForPasswords = false;
        if (several) {
            sendNext();
            return;
        }
        QString refusal;
        if (!follow(message, &refusal)) {
            fieldsReleased();
            showFailure(refusal, message.queued, message);
            emit attemptFinished();
        }
    });
}

bool SendSMSPushed::follow(const Record& message, QString* refusal)
{
    // Sent without its password the message would only be refused.
    if (settings.credentialsPasswordWithheld()) {
        *refusal = StorageStatus::withheldReason(storage.passwordsWithheldBecause());
        return false;
    }
    const QString id = journal.send(message);
    if (id.isEmpty()) {
        *refusal = tr("Quibbo runs in another session of yours and sends from there; quit it to "
                      "send from here.");
        return false;
    }
    fieldsRecord = id;
    stamps.insert(id, several ? clock.now() : message.queued);
    // The service may have this message already: the press waits for the history's word.
    if (const Record* record = journal.find(id); record && record->state != Record::State::Posting)
        checkStarted(*record);
    return true;
}

void SendSMSPushed::sendNext()
{
    const std::optional<Record> next = several->next();
    if (!next) {
        severalEnded();
        return;
    }
    controls.progressDescription.showSteady(several->progress(), TextColours::idle);
    QString refusal;
    if (!follow(*next, &refusal)) {
        // Nothing more can go from here: the rest stay in the box.
        several->putBack(*next);
        severalEnded(refusal);
    }
}

QString SendSMSPushed::progressText() const
{
    return several ? several->progress() : tr("Sending...");
}

void SendSMSPushed::severalSettled(const Record& record, Outcome outcome)
{
    fieldsRecord.clear();
    if (outcome == Outcome::NotReached)
        offered.append(record);
    if (several->ended(record, outcome, StorageStatus::reason(journal.unwritten())))
        recipientGotIt(record);
    emit recipientFinished();
    sendNext();
}

void SendSMSPushed::recipientGotIt(const Record& record)
{
    controls.sendToNumberField.updateComboBoxWithNewNumber(record.number);
    letGo(record);
    emit messageSent(record.msisdn, record.number, record.text);
}

void SendSMSPushed::severalEnded(const QString& why)
{
    const QString sentence = several->finish(why);
    const bool allSent = several->allSent();
    const bool anySent = several->sent() > 0;
    const bool creditLacking = several->creditLacking();
    several.reset();
    fieldsRecord.clear();
    setBusy(false);
    controls.sendSMSButton.setEnabled(true);

    controls.statusField.setText(sentence);
    controls.statusField.setPalette(TextColours::withText(
        controls.statusField.palette(), allSent ? TextColours::success : TextColours::failure));
    sounds.play(allSent ? QStringLiteral("Purr") : QStringLiteral("Sosumi"));
    if (allSent)
        controls.progressDescription.showFor(tr("Sent"), TextColours::success, 5s);
    else
        controls.progressDescription.showFor(tr("Failed"), TextColours::failure, 2s);
    if (anySent)
        refreshesAfterSent();
    if (!offered.isEmpty())
        controls.outboxOfferButton.show();
    setTurning(creditLacking);
    controls.messageField.setFocus(Qt::OtherFocusReason);
    if (creditLacking) {
        offerCredits();
        return;
    }
    emit attemptFinished();
}

void SendSMSPushed::refreshesAfterSent()
{
    timers.singleShot(10s, this, [this] { emit historyRefreshRequested(); });
    timers.singleShot(60s, this, [this] { emit historyRefreshRequested(); });
    timers.singleShot(5s, this, [this] { emit creditsRefreshRequested(); });
}

void SendSMSPushed::letGo(const Record& record)
{
    // The box keeps the recipients that did not get the message, as typed: every one of them
    // that stands for this number goes; with none left, the message goes too.
    const RecipientList list = recipients();
    QHash<QString, QString> numbers;
    for (const RecipientList::Recipient& typed : list.all())
        numbers.insert(typed.typed, typed.msisdn);
    QStringList kept;
    for (const QString& typed :
         RecipientList::split(controls.sendToNumberField.getNumberToSendMsgTo())) {
        if (typed != record.number.trimmed() && numbers.value(typed) != record.msisdn)
            kept.append(typed);
    }
    controls.sendToNumberField.setNumberToSendMsgTo(RecipientList::joined(kept));
    if (kept.isEmpty() && controls.messageField.toPlainText().trimmed() == record.text.trimmed())
        controls.messageField.clear();
    controls.charCounter.updateCharacterCounter();
}

void SendSMSPushed::post(const Record& record)
{
    if (!stamps.contains(record.id))
        stamps.insert(record.id, clock.now());
    if (record.id == fieldsRecord) {
        controls.progressDescription.showSteady(progressText(), TextColours::idle);
        setTurning(true);
    }
    // A try of the outbox never asks the keyring: only a person's act may bring up its prompt.
    if (!record.byHand && settings.credentialsPasswordWithheld()) {
        journal.unanswered(record.id, false);
        return;
    }
    const Settings::Credentials credentials = settings.credentials();
    const QByteArray body = field("CompanyId", valueOrNullText(credentials.companyId)) + '&' +
                            field("UserId", valueOrNullText(credentials.userId)) + '&' +
                            field("Password", valueOrNullText(credentials.password)) + '&' +
                            field("Msisdn", record.msisdn) + '&' +
                            field("MessageText", record.text) + '&' +
                            field("OasText", valueOrNullText(record.senderID)) + "\r\n";
    auto& slot = posts[record.id];
    slot = std::make_unique<PendingReply>(this);
    const QString id = record.id;
    slot->start(
        network.postOnce(endpoints.sendMessage(), "application/x-www-form-urlencoded", body),
        [this, id](CurlReply& reply) {
            // Only the status line is read: once a 200's has arrived the message was
            // accepted, even if the rest of the answer is cut off (calling that a
            // failure invites a duplicate).
            const std::optional<int> status = reply.status();
            const bool left = reply.requestLeft();
            QTimer::singleShot(0, this, [this, id, status, left] {
                posts.erase(id);
                if (status)
                    journal.answered(id, *status);
                else
                    journal.unanswered(id, left);
            });
        });
}

void SendSMSPushed::checkStarted(const Record& record)
{
    if (!record.byHand)
        return;
    // While the history is asked the window is the user's, unless Send was pressed for this
    // very message again: then the press waits for the answer.
    if (record.id == fieldsRecord && !several && !journal.isPressedAgain(record.id))
        fieldsReleased();
    controls.statusField.setText(
        tr("No answer came at %1. Looking in the history for the "
           "message before it can be sent again...")
            .arg(clockTime(stamps.value(record.id, record.queued).time())));
    controls.statusField.setPalette(
        TextColours::withText(controls.statusField.palette(), TextColours::idle));
    //: The progress word while the service's history is searched for the message.
    controls.progressDescription.showSteady(tr("Checking"), TextColours::idle);
}

void SendSMSPushed::settled(const Record& record, Outcome outcome)
{
    const QDateTime stamp = stamps.take(record.id);
    const QDateTime shown = stamp.isValid() ? stamp : clock.now();
    posts.erase(record.id);
    if (several && record.id == fieldsRecord) {
        severalSettled(record, outcome);
        return;
    }
    if (several && record.byHand && several->endedBefore(record, outcome)) {
        if (outcome != Outcome::ReceiptUnknown)
            recipientGotIt(record);
        emit recipientFinished();
        return;
    }
    if (record.id == fieldsRecord)
        fieldsReleased();
    const bool byHand = record.byHand;
    switch (outcome) {
    case Outcome::Sent:
    case Outcome::SentLate:
        showSent(record, shown, outcome == Outcome::SentLate);
        break;
    case Outcome::InsufficientCredit:
        showFailure(tr("Insufficient credits."), shown, record);
        offerCredits();
        return; // the attempt ends when the alert is dismissed
    case Outcome::Rejected:
        showFailure(tr("Server rejected messages."), shown, record);
        break;
    case Outcome::NotReached:
        // The outbox waits on: every failed try of a service still out of reach would only
        // repeat what the count of waiting messages says.
        if (!byHand)
            return;
        showFailure(tr("Error talking to server."), shown, record);
        offered = {record};
        controls.outboxOfferButton.show();
        break;
    case Outcome::NotRecorded:
        if (!byHand)
            return;
        //: %1 is why the disk would not take it, as "the disk is full".
        showFailure((record.state == Record::State::Waiting
                         ? tr("The message could not be put in the outbox (%1).")
                         : tr("The message could not be saved before sending (%1), so it was "
                              "not sent."))
                        .arg(StorageStatus::reason(journal.unwritten())),
                    shown, record);
        break;
    case Outcome::NotReceived:
        if (!byHand)
            return;
        showFailure(tr("Error talking to server. The service did not receive the message, so "
                       "you can send it again."),
                    shown, record);
        break;
    case Outcome::ReceiptUnknown:
        showFailure(tr("Error talking to server. Whether the service received the message is "
                       "not known: look for it in the history before you send it again."),
                    shown, record);
        break;
    }
    if (byHand)
        emit attemptFinished();
}

void SendSMSPushed::fieldsReleased()
{
    fieldsRecord.clear();
    setBusy(false);
    controls.sendSMSButton.setEnabled(true);
}

void SendSMSPushed::showFailure(const QString& reason, const QDateTime& stamp, const Record& record)
{
    sounds.play(QStringLiteral("Sosumi"));
    const QString sentence = tr("Message failed at %1. %2").arg(clockTime(stamp.time()), reason);
    controls.statusField.setText(sentence);
    controls.statusField.setPalette(
        TextColours::withText(controls.statusField.palette(), TextColours::failure));
    //: The progress word beside the send indicator: the attempt failed.
    controls.progressDescription.showFor(tr("Failed"), TextColours::failure, 2s);
    if (!isSending())
        setTurning(false);
    notifyInactive(record, sentence);
}

void SendSMSPushed::notifyInactive(const Record& record, const QString& summary)
{
    // An outbox message goes while the user may be elsewhere.
    if (!record.byHand && !controls.messageField.window()->isActiveWindow())
        notifications.show(summary, openingWords(record.text));
}

void SendSMSPushed::keepForLater()
{
    const QList<Record> messages = std::exchange(offered, {});
    controls.outboxOfferButton.hide();
    // Each kept with the number as it was formatted when it was sent, a record of its own.
    for (const Record& message : messages)
        outbox.add(message);
}

void SendSMSPushed::recorded(const Record& message)
{
    // It is the outbox's now, on disk: left in the fields it would invite a second send.
    if (!isSending())
        letGo(message);
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
    offered.clear();
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

void SendSMSPushed::showSent(const Record& record, const QDateTime& stamp, bool late)
{
    controls.sendToNumberField.updateComboBoxWithNewNumber(record.number);
    // Text that another program put in while the request was out is not the sent message, and
    // stays; so does a recipient filled in meanwhile. An outbox message was not in the fields.
    if (record.byHand)
        letGo(record);
    sounds.play(QStringLiteral("Purr"));
    const QString sentence =
        late ? tr("Message sent at %1. Its answer never came, but the service's history lists it.")
                   .arg(clockTime(stamp.time()))
             : tr("Message sent at %1.").arg(clockTime(stamp.time()));
    controls.statusField.setText(sentence);
    controls.statusField.setPalette(
        TextColours::withText(controls.statusField.palette(), TextColours::success));
    refreshesAfterSent();
    controls.progressDescription.showFor(tr("Sent"), TextColours::success, 5s);
    if (!isSending())
        setTurning(false);
    if (record.byHand)
        controls.messageField.setFocus(Qt::OtherFocusReason);
    notifyInactive(record, sentence);
    emit messageSent(record.msisdn, record.number, record.text);
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
