#include "SenderIDController.h"

#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "SoundPlayer.h"
#include "TextFilters.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalBlocker>

SenderIDController::SenderIDController(const Controls& controls_, SettingsStore& settings_,
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
    connect(&controls.myNotificationsTickBox, &QCheckBox::toggled, this, [this](bool on) {
        settings.setString(SettingsKeys::deliveryNotifications,
                           on ? SettingsKeys::on : SettingsKeys::off);
    });
    loadUserDefaultsIntoControls();
}

void SenderIDController::loadUserDefaultsIntoControls()
{
    const QSignalBlocker translate(controls.myTranslateNumberTickBox);
    const QSignalBlocker longMessages(controls.myLongSMSAllowedTickBox);
    const QSignalBlocker notifications(controls.myNotificationsTickBox);
    if (const std::optional<QString> senderID = settings.stringForKey(SettingsKeys::senderID))
        controls.mySenderIDField.setText(*senderID);
    if (const std::optional<QString> longAllowed =
            settings.stringForKey(SettingsKeys::longSMSAllowed))
        controls.myLongSMSAllowedTickBox.setChecked(*longAllowed == SettingsKeys::on);
    controls.myNotificationsTickBox.setChecked(
        settings.stringForKey(SettingsKeys::deliveryNotifications) != SettingsKeys::off);
    const StringDictionary translation =
        settings.dictionaryForKey(SettingsKeys::numberTranslation).value_or(StringDictionary());
    if (translation.isEmpty())
        return;
    controls.myCountryCode.setText(translation.value(SettingsKeys::countryCode));
    const bool on = translation.value(SettingsKeys::translationState) == SettingsKeys::on;
    controls.myTranslateNumberTickBox.setChecked(on);
    // The field follows the tick box, as it does when the box is clicked.
    controls.myCountryCode.setEnabled(on);
}

void SenderIDController::controlTextDidChange()
{
    const FilteredText filtered = filterSenderId(controls.mySenderIDField.text());
    for (int i = 0; i < filtered.refusals; ++i)
        sounds.play(QStringLiteral("Morse"));
    if (filtered.text != controls.mySenderIDField.text())
        controls.mySenderIDField.setText(filtered.text);
}

void SenderIDController::controlTextDidEndEditing()
{
    settings.setString(SettingsKeys::senderID, controls.mySenderIDField.text());
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
    const bool on = controls.myTranslateNumberTickBox.checkState() == Qt::Checked;
    settings.setDictionary(
        SettingsKeys::numberTranslation,
        {{SettingsKeys::translationState, on ? SettingsKeys::on : SettingsKeys::off},
         {SettingsKeys::countryCode, controls.myCountryCode.text()}});
}

void SenderIDController::setLongSMSAllowed()
{
    const bool on = controls.myLongSMSAllowedTickBox.checkState() == Qt::Checked;
    settings.setString(SettingsKeys::longSMSAllowed, on ? SettingsKeys::on : SettingsKeys::off);
}
