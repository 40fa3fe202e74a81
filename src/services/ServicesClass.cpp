#include "ServicesClass.h"

#include "AddressBook.h"
#include "MessageTextEdit.h"
#include "SendSMSPushed.h"
#include "SoundPlayer.h"
#include "TimerSource.h"
#include "XdgActivation.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPushButton>
#include <QStringDecoder>
#include <QWindow>

using namespace std::chrono_literals;

Q_LOGGING_CATEGORY(lcServices, "quibbo.services")

namespace {
// The plain text of a selection: "text/plain", with or without a charset (UTF-8 without one).
std::optional<QString> plainText(const Pasteboard& pasteboard)
{
    for (auto it = pasteboard.begin(); it != pasteboard.end(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char(';'));
        if (parts.first().trimmed().compare(QLatin1String("text/plain"), Qt::CaseInsensitive) != 0)
            continue;
        QByteArray charset = "UTF-8";
        for (const QString& parameter : parts.mid(1)) {
            const QString p = parameter.trimmed();
            if (p.startsWith(QLatin1String("charset="), Qt::CaseInsensitive))
                charset = p.mid(8).remove(QLatin1Char('"')).toLatin1();
        }
        QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::Stateless);
        if (!decoder.isValid())
            return std::nullopt;
        const QString text = decoder(it.value());
        if (decoder.hasError())
            return std::nullopt;
        return text;
    }
    return std::nullopt;
}
} // namespace

ServicesClass::ServicesClass(const Controls& controls_, AddressBook& addressBook_,
                             SoundPlayer& sounds_, TimerSource& timers_, QObject* parent)
    : QObject(parent), controls(controls_), addressBook(addressBook_), sounds(sounds_),
      timers(timers_)
{}

void ServicesClass::awakeFromNib()
{
    controls.servicesRequestWindow.hide();
}

std::optional<QString> ServicesClass::sendPasteboardAsSMS(const Pasteboard& pasteboard,
                                                          const QString& activationToken)
{
    const std::optional<QString> text = plainText(pasteboard);
    if (!text)
        return QCoreApplication::translate("ServicesClass", "Error: couldn't send as an SMS.");

    // As if the user had pasted it, so that the counter counts and cuts it as for a paste.
    controls.textMessageField.replaceWithPaste(*text);

    if (retrieveMyMobileNumber()) {
        // Where the chooser cannot stay above other windows (Wayland), the token still brings
        // it in front of the window the user is in.
        comeForward(controls.servicesRequestWindow, activationToken);
        controls.sendToMeButton.setFocus();
    } else {
        timers.singleShot(1s, this, [this, activationToken] {
            sounds.play(QStringLiteral("Hero"));
            controls.mainWindow.show();
            if (activationToken.isEmpty())
                controls.mainWindow.raise();
            else
                comeForward(controls.mainWindow, activationToken);
        });
    }
    return std::nullopt;
}

std::optional<QString> ServicesClass::retrieveMyMobileNumber()
{
    const std::optional<AddressBook::Person> me = addressBook.me();
    if (!me)
        return std::nullopt;
    for (const VCard::Phone& phone : me->phones)
        if (phone.label == VCard::Label::Mobile)
            return phone.value;
    return std::nullopt;
}

void ServicesClass::sendToMyPhone()
{
    const std::optional<QString> mine = retrieveMyMobileNumber();
    controls.servicesRequestWindow.hide();
    activate({});
    // The card may have changed since the request; then the user completes the recipient.
    if (!mine)
        return;
    controls.msisdnField.setEditText(*mine);
    if (!controls.sendSMSController.isSending()) {
        controls.sendSMSController.sendsms();
        return;
    }
    // One attempt at a time: this one goes out when the one under way has ended.
    if (sendWhenFree)
        return;
    sendWhenFree = true;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(&controls.sendSMSController, &SendSMSPushed::attemptFinished, this,
                          [this, connection, number = *mine] {
                              disconnect(*connection);
                              sendWhenFree = false;
                              controls.msisdnField.setEditText(number);
                              controls.sendSMSController.sendsms();
                          });
}

void ServicesClass::sendToAnotherNumber()
{
    controls.servicesRequestWindow.hide();
    activate({});
}

void ServicesClass::openSmsUri(const SmsUri& uri, const QString& activationToken)
{
    qCDebug(lcServices) << "opening an sms: link";
    // A link replaces what the chooser asked about, so its question no longer stands.
    controls.servicesRequestWindow.hide();
    // The recipient box holds one number: the first of the link's recipients.
    if (!uri.recipients.isEmpty())
        controls.msisdnField.setEditText(uri.recipients.first());
    // A link without a body only addresses the message the user is writing.
    if (uri.body)
        controls.textMessageField.replaceWithPaste(*uri.body);
    activate(activationToken);
}

void ServicesClass::activate(const QString& activationToken)
{
    comeForward(controls.mainWindow, activationToken);
}

void ServicesClass::comeForward(QWidget& window, const QString& activationToken)
{
    window.show();
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
    // Under Wayland only a launcher's token lets a window take the focus from the one the user
    // is in.
    if (QWindow* handle = window.windowHandle())
        XdgActivation::activate(*handle, activationToken);
}
