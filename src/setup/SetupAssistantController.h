#pragma once

#include "RegistrationExchange.h"
#include "ServiceEndpoints.h"

#include <QObject>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class Settings;
class SoundPlayer;
class UrlOpener;
struct Platform;

// The application's launch handling and the first-run assistant. At launch it tells a
// configured account (three or more credential entries) from a first run; on a first run it
// holds the user in the assistant, which registers a new account or attaches an existing one,
// stores the credentials as soon as the account is verified, then asks for the home country and
// the user's own mobile number. What the rest of the client does once it has ended is connected
// to assistantFinished().
class SetupAssistantController : public QObject
{
    Q_OBJECT
public:
    // The assistant's controls by their names in its window definition.
    struct Controls
    {
        QLabel& confirmEmailErrorText;
        QProgressBar& confirmEmailProgressIndicator;
        QLineEdit& createAccountEmailAddress;
        QLabel& createAccountErrorText;
        QLineEdit& createAccountFirstname;
        QLineEdit& createAccountPassword1;
        QLineEdit& createAccountPassword2;
        QProgressBar& createAccountProgressIndicator;
        QLineEdit& createAccountSurname;
        QLineEdit& myAccountPassword;
        QRadioButton& createNewAccountRadioButton;
        QLineEdit& myAccountEmailAddress;
        QLabel& myAccountErrorText;
        QProgressBar& myAccountProgressIndicator;
        QLabel& myEmailErrorText;
        QProgressBar& myEmailProgressIndicator;
        QLineEdit& myLocationCountryCode;
        QComboBox& myLocationCountryPullDown;
        QLineEdit& myLocationMobileNumber;
        QCheckBox& myLocationUsePrefixTickBox;
        QDialog& myPanel;
        QLineEdit& userSuppliedEmailAddress;
        QStackedWidget& myTabView;
    };

    SetupAssistantController(const Controls& controls, const Platform& platform,
                             ServiceEndpoints endpoints, QObject* parent = nullptr);

    const Controls controls;

    void awakeFromNib();

    // The stage showing: "Introduction", "MyEmailAddress", "CreateAccount", "ConfirmEmail",
    // "MyAccount", "MyLocation" or "Conclusion".
    QString currentStage() const;

    // Opens the assistant at its first stage, in front of the main window.
    void present();

public Q_SLOTS:
    void quit();
    void proceedToFinish();

    void proceedToStageIntroduction();
    void proceedToStageMyEmail();
    void proceedToStageCreateAccount();
    void proceedToStageConfirmEmail();
    void proceedToStageMyAccount();
    void proceedToStageMyLocation();
    void chooseWhetherToGoToCreateAccountOrMyAccountStage();
    void attemptToCreateANewAccount();
    void checkIfAccountHasBeenConfirmed();
    void verifyAccountDetails();
    void updateCountryCode();
    void proceedToStageConclusion();
    void passwordReminder();
    void viewPrivacyPolicy();

Q_SIGNALS:
    // The user chose to quit from the assistant.
    void quitRequested();
    // The assistant was finished: the account and the sending options are stored.
    void assistantFinished();
    // A checking action has shown its outcome on its stage.
    void checkFinished();

private:
    struct Stage
    {
        QLabel* message;
        QProgressBar* indicator;
    };

    void showStage(const QString& identifier);
    void beginCheck(const Stage& stage, const QString& progressText);
    // Shows the failure; the keyboard focus goes to the field to correct, or back to where the
    // user was when the check began.
    void failCheck(const Stage& stage, const QString& text, QWidget* toCorrect = nullptr);
    void passCheck(const Stage& stage, const QString& nextStage);
    // While an exchange is out the stage's buttons are disabled and the focus rests on the
    // stage's message, so that it never falls on Quit or Back, where a Return would press them.
    void holdStage(const Stage& stage);
    void releaseStage();
    QPushButton* continueButton() const;
    void confirmedAnswer(const Stage& stage, const RegistrationExchange::Answer& answer,
                         const QString& password, bool fromExistingAccount);
    void filterTyping(QLineEdit* field);

    Settings& settings;
    SoundPlayer& sounds;
    UrlOpener& urls;
    ServiceEndpoints endpoints;
    RegistrationExchange exchange;
    QPointer<QWidget> focusBeforeCheck;
};
