#pragma once

#include "ClientAddress.h"
#include "SmsUri.h"

#include <QMap>
#include <QObject>
#include <QPointer>

#include <optional>

class AddressBook;
class QComboBox;
class MessageTextEdit;
class QPushButton;
class SendSMSPushed;
class SoundPlayer;
class TimerSource;

// Lets other programs send selected text as an SMS. The text goes into the message view; when
// the user's own card has a mobile number, a small floating window asks whether to send it to
// that phone at once or to another number; otherwise the main window comes forward a second
// later, with the "Hero" sound, for the user to address it. It also fills in sms: links.
class ServicesClass : public QObject
{
    Q_OBJECT
public:
    // The client's one name on the desktop: its bus name, its interface's name and the name of
    // its desktop entry.

    // The chooser's controls and the main window's parts it fills.
    struct Controls
    {
        QWidget& servicesRequestWindow;
        QComboBox& msisdnField;
        SendSMSPushed& sendSMSController;
        MessageTextEdit& textMessageField;
        QWidget& mainWindow;
        QPushButton& sendToMeButton;
    };

    ServicesClass(const Controls& controls, AddressBook& addressBook, SoundPlayer& sounds,
                  TimerSource& timers, QObject* parent = nullptr);

    const Controls controls;

    void awakeFromNib();

    // The error text for the calling program, or nothing when the request was taken.
    // A launcher's activation token, where one came with the request, brings the chooser or
    // the window forward under Wayland.
    std::optional<QString> sendPasteboardAsSMS(const Pasteboard& pasteboard,
                                               const QString& activationToken);
    std::optional<QString> retrieveMyMobileNumber();

    // Fills the recipient and the message from an sms: link; it never sends.
    void openSmsUri(const SmsUri& uri, const QString& activationToken);
    // Brings the main window forward as the key window.
    void activate(const QString& activationToken);

public Q_SLOTS:
    void sendToMyPhone();
    void sendToAnotherNumber();

private:
    static void comeForward(QWidget& window, const QString& activationToken);

    AddressBook& addressBook;
    SoundPlayer& sounds;
    TimerSource& timers;
    bool sendWhenFree = false;
};
