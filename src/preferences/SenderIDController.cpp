#include "SenderIDController.h"

#include "Settings.h"
#include "SoundPlayer.h"
#include "TextFilters.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalBlocker>

SenderIDController::SenderIDController(const Controls& controls_, Settings& settings_,
                                       SoundPlayer& sounds_, QObject* parent)
    : QObject(parent), controls(controls_), settings(settings_), sounds(sounds_)
{}

void SenderIDController::awakeFromNib()
{
    // Only the sender ID is filtered, and only as the user types it.
    connect(&controls.mySenderIDField, &QLineEdit::textEdited, this,
            &SenderIDController::controlTextDidChange);
    for (QLineEdit* field : {&controls.mySenderIDField, &controls.myCountryCode})
        connect(field, &QLineEdit::editingFinished, this,
                &SenderIDController::controlTextDidEndEditing);
    // Toggled rather than clicked: a screen reader's toggle changes the box without a click.
    // Loading the stored values changes them with the signals blocked.
    connect(&controls.myTranslateNumberTickBox, &QCheckBox::toggled, this,
            &SenderIDController::setNumberTranslation);
    connect(&controls.myLongSMSAllowedTickBox, &QCheckBox::toggled, this,
            &SenderIDController::setLongSMSAllowed);
    connect(&controls.myNotificationsTickBox, &QCheckBox::toggled, &settings,
            &Settings::setDeliveryNotifications);
    loadUserDefaultsIntoControls();
}

void SenderIDController::loadUserDefaultsIntoControls()
{
    const QSignalBlocker translate(controls.myTranslateNumberTickBox);
    const QSignalBlocker longMessages(controls.myLongSMSAllowedTickBox);
    const QSignalBlocker notifications(controls.myNotificationsTickBox);
    if (const std::optional<QString> senderID = settings.senderID())
        controls.mySenderIDField.setText(*senderID);
    if (settings.longSMSAllowedStored())
        controls.myLongSMSAllowedTickBox.setChecked(settings.longSMSAllowed());
    controls.myNotificationsTickBox.setChecked(settings.deliveryNotifications());
    const std::optional<Settings::NumberTranslation> translation = settings.numberTranslation();
    if (!translation)
        return;
    controls.myCountryCode.setText(translation->countryCode.value_or(QString()));
    controls.myTranslateNumberTickBox.setChecked(translation->ticked());
    // The field follows the tick box, as it does when the box is clicked.
    controls.myCountryCode.setEnabled(translation->ticked());
}

void SenderIDController::controlTextDidChange()
{
    const FilteredText filtered = filterSenderId(controls.mySenderIDField.text());
    for (int i = 0; i < filtered.refusals; ++i)
        sounds.play(QStringLiteral("Morse"));
    if (filtered.text != controls.mySenderIDField.text()) {
        // The cursor stays after what went in, not at the end where setText() puts it.
        const int cursor = controls.mySenderIDField.cursorPosition();
        controls.mySenderIDField.setText(filtered.text);
        controls.mySenderIDField.setCursorPosition(cursor);
    }
}

void SenderIDController::controlTextDidEndEditing()
{
    settings.setSenderID(controls.mySenderIDField.text());
    storeNumberTranslationOptionsToUserDefaults();
}

void SenderIDController::setNumberTranslation()
{
    storeNumberTranslationOptionsToUserDefaults();
    controls.myCountryCode.setEnabled(controls.myTranslateNumberTickBox.checkState() ==
                                      Qt::Checked);
}

void SenderIDController::storeNumberTranslationOptionsToUserDefaults()
{
    settings.setNumberTranslation(controls.myTranslateNumberTickBox.checkState() == Qt::Checked,
                                  controls.myCountryCode.text());
}

void SenderIDController::setLongSMSAllowed()
{
    settings.setLongSMSAllowed(controls.myLongSMSAllowedTickBox.checkState() == Qt::Checked);
}
