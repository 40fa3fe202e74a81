#pragma once

#include <QObject>

class QCheckBox;
class QLineEdit;
class Settings;
class SoundPlayer;

// The sending section of the preferences: the sender ID (held to its form while it is typed),
// number translation with the home country code, permission for long messages, and the delivery
// notifications. Every change is stored at once.
class SenderIDController : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QLineEdit& myCountryCode;
        QLineEdit& mySenderIDField;
        QCheckBox& myTranslateNumberTickBox;
        QCheckBox& myLongSMSAllowedTickBox;
        QCheckBox& myNotificationsTickBox;
    };

    SenderIDController(const Controls& controls, Settings& settings, SoundPlayer& sounds,
                       QObject* parent = nullptr);

    const Controls controls;

    void awakeFromNib();
    void loadUserDefaultsIntoControls();

public Q_SLOTS:
    void controlTextDidChange();
    void controlTextDidEndEditing();
    void setNumberTranslation();
    void storeNumberTranslationOptionsToUserDefaults();
    void setLongSMSAllowed();

private:
    Settings& settings;
    SoundPlayer& sounds;
};
