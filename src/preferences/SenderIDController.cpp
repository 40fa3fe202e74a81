#include "SenderIDController.h"

#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "SoundPlayer.h"
#include "TextFilters.h"

#include <QCheckBox>
#include <QLineEdit>

SenderIDController::SenderIDController(SettingsStore& settings_, SoundPlayer& sounds_,
                                       QObject* parent)
    : QObject(parent), settings(settings_), sounds(sounds_)
{}

void SenderIDController::awakeFromNib()
{
    // Only the sender ID is filtered, and only as the user types it.
    connect(mySenderIDField, &QLineEdit::textEdited, this,
            &SenderIDController::controlTextDidChange);
    for (QLineEdit* field : {mySenderIDField, myCountryCode})
        connect(field, &QLineEdit::editingFinished, this,
                &SenderIDController::controlTextDidEndEditing);
    connect(myTranslateNumberTickBox, &QCheckBox::clicked, this,
            &SenderIDController::setNumberTranslation);
    connect(myLongSMSAllowedTickBox, &QCheckBox::clicked, this,
            &SenderIDController::setLongSMSAllowed);
    loadUserDefaultsIntoControls();
}

void SenderIDController::loadUserDefaultsIntoControls()
{
    if (const std::optional<QString> senderID = settings.stringForKey(SettingsKeys::senderID))
        mySenderIDField->setText(*senderID);
    if (const std::optional<QString> longAllowed =
            settings.stringForKey(SettingsKeys::longSMSAllowed))
        myLongSMSAllowedTickBox->setChecked(*longAllowed == SettingsKeys::on);
    const StringDictionary translation =
        settings.dictionaryForKey(SettingsKeys::numberTranslation).value_or(StringDictionary());
    if (translation.isEmpty())
        return;
    myCountryCode->setText(translation.value(SettingsKeys::countryCode));
    const bool on = translation.value(SettingsKeys::translationState) == SettingsKeys::on;
    myTranslateNumberTickBox->setChecked(on);
    // The field follows the tick box, as it does when the box is clicked.
    myCountryCode->setEnabled(on);
}

void SenderIDController::controlTextDidChange()
{
    const FilteredText filtered = filterSenderId(mySenderIDField->text());
    for (int i = 0; i < filtered.refusals; ++i)
        sounds.play(QStringLiteral("Morse"));
    if (filtered.text != mySenderIDField->text())
        mySenderIDField->setText(filtered.text);
}

void SenderIDController::controlTextDidEndEditing()
{
    settings.setString(SettingsKeys::senderID, mySenderIDField->text());
    storeNumberTranslationOptionsToUserDefaults();
}

void SenderIDController::setNumberTranslation()
{
    storeNumberTranslationOptionsToUserDefaults();
    myCountryCode->setEnabled(myTranslateNumberTickBox->checkState() == Qt::Checked);
}

void SenderIDController::storeNumberTranslationOptionsToUserDefaults()
{
    const bool on = myTranslateNumberTickBox->checkState() == Qt::Checked;
    settings.setDictionary(
        SettingsKeys::numberTranslation,
        {{SettingsKeys::translationState, on ? SettingsKeys::on : SettingsKeys::off},
         {SettingsKeys::countryCode, myCountryCode->text()}});
}

void SenderIDController::setLongSMSAllowed()
{
    const bool on = myLongSMSAllowedTickBox->checkState() == Qt::Checked;
    settings.setString(SettingsKeys::longSMSAllowed, on ? SettingsKeys::on : SettingsKeys::off);
}
