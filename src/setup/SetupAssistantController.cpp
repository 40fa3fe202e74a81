#include "SetupAssistantController.h"

#include "CountryTable.h"
#include "NewAccountDetails.h"
#include "Platform.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "TextColours.h"
#include "TextFilters.h"
#include "UrlOpener.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace {
Q_LOGGING_CATEGORY(lcSetup, "quibbo.setup")

const char* const registrationServerError = QT_TRANSLATE_NOOP(
    "SetupAssistantController", "There was an error trying to connect to the registration server.\n"
                                "Please check your Internet connection and try again.");
const char* const accountsServerError = QT_TRANSLATE_NOOP(
    "SetupAssistantController", "There was an error trying to connect to the accounts server.\n"
                                "Please check your Internet connection and try again.");
} // namespace

SetupAssistantController::SetupAssistantController(const Controls& controls_,
                                                   const Platform& platform,
                                                   ServiceEndpoints endpoints_, QObject* parent)
    : QObject(parent), controls(controls_), settings(platform.settings), sounds(platform.sounds),
      urls(platform.urls), endpoints(endpoints_), exchange(platform.network, endpoints_)
{}

void SetupAssistantController::awakeFromNib()
{
    // Only the user's own typing is filtered; a country choice fills the fields unfiltered.
    for (QLineEdit* field : {&controls.myLocationCountryCode, &controls.myLocationMobileNumber})
        connect(field, &QLineEdit::textEdited, this, [this, field] { filterTyping(field); });
    for (QProgressBar* indicator :
         {&controls.myEmailProgressIndicator, &controls.createAccountProgressIndicator,
          &controls.confirmEmailProgressIndicator, &controls.myAccountProgressIndicator}) {
        QSizePolicy policy = indicator->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        indicator->setSizePolicy(policy);
        indicator->hide();
    }
}

QString SetupAssistantController::currentStage() const
{
    return controls.myTabView.currentWidget()->objectName();
}

void SetupAssistantController::present()
{
    controls.myLocationCountryPullDown.addItems(CountryTable::names());
    showStage(QStringLiteral("Introduction"));
    controls.myPanel.setWindowModality(Qt::ApplicationModal);
    // The assistant opens in the middle of the main window it belongs to.
    controls.myPanel.adjustSize();
    if (QWidget* over = controls.myPanel.parentWidget(); over && over->isVisible())
        controls.myPanel.move(over->frameGeometry().center() - controls.myPanel.rect().center());
    controls.myPanel.open();
}

void SetupAssistantController::quit()
{
    // Quitting never waits for the service: the answer would come to a window that is gone.
    exchange.abandon();
    controls.myPanel.hide();
    emit quitRequested();
}

void SetupAssistantController::proceedToFinish()
{
    controls.myPanel.hide();
    emit assistantFinished();
}

void SetupAssistantController::proceedToStageIntroduction()
{
    showStage(QStringLiteral("Introduction"));
}

void SetupAssistantController::proceedToStageMyEmail()
{
    showStage(QStringLiteral("MyEmailAddress"));
}

void SetupAssistantController::proceedToStageCreateAccount()
{
    showStage(QStringLiteral("CreateAccount"));
}

void SetupAssistantController::proceedToStageConfirmEmail()
{
    showStage(QStringLiteral("ConfirmEmail"));
}

void SetupAssistantController::proceedToStageMyAccount()
{
    showStage(QStringLiteral("MyAccount"));
}

void SetupAssistantController::proceedToStageMyLocation()
{
    showStage(QStringLiteral("MyLocation"));
}

void SetupAssistantController::showStage(const QString& identifier)
{
    QWidget* page = controls.myTabView.findChild<QWidget*>(identifier);
    if (!page)
        return;
    controls.myTabView.setCurrentWidget(page);
    // Enter always moves forward; the cursor goes to the stage's first field, or to the forward
    // button on a stage without fields.
    QPushButton* next = continueButton();
    if (next)
        next->setDefault(true);
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && qobject_cast<QLineEdit*>(w) && w->isEnabled() &&
            !static_cast<QLineEdit*>(w)->isReadOnly()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (next)
        next->setFocus(Qt::OtherFocusReason);
}

QPushButton* SetupAssistantController::continueButton() const
{
    QWidget* page = controls.myTabView.currentWidget();
    return page->findChild<QPushButton*>(page->objectName() + QStringLiteral("Continue"));
}

void SetupAssistantController::beginCheck(const Stage& stage, const QString& progressText)
{
    stage.message->setPalette(
        TextColours::withText(stage.message->palette(), TextColours::success));
    stage.message->setText(progressText);
    stage.indicator->setRange(0, 0);
    stage.indicator->show();
}

void SetupAssistantController::failCheck(const Stage& stage, const QString& text,
                                         QWidget* toCorrect)
{
    releaseStage();
    sounds.play(QStringLiteral("Morse"));
    stage.message->setPalette(
        TextColours::withText(stage.message->palette(), TextColours::failure));
    stage.message->setText(text);
    stage.indicator->hide();
    QWidget* focus = toCorrect ? toCorrect : focusBeforeCheck.data();
    if (!focus || !focus->isEnabled())
        focus = continueButton();
    if (focus) {
        focus->setFocus(Qt::OtherFocusReason);
        if (auto* field = qobject_cast<QLineEdit*>(focus))
            field->selectAll();
    }
    focusBeforeCheck.clear();
    emit checkFinished();
}

void SetupAssistantController::passCheck(const Stage& stage, const QString& nextStage)
{
    releaseStage();
    focusBeforeCheck.clear();
    stage.message->clear();
    stage.indicator->hide();
    showStage(nextStage);
    emit checkFinished();
}

void SetupAssistantController::holdStage(const Stage& stage)
{
    focusBeforeCheck = controls.myPanel.focusWidget();
    stage.message->setFocus(Qt::OtherFocusReason);
    // Quit, which stands in the stage's row, works at every moment.
    for (QAbstractButton* button :
         controls.myTabView.currentWidget()->findChildren<QAbstractButton*>())
        if (button->objectName() != QLatin1String("quitButton"))
            button->setEnabled(false);
}

void SetupAssistantController::releaseStage()
{
    for (QAbstractButton* button :
         controls.myTabView.currentWidget()->findChildren<QAbstractButton*>())
        button->setEnabled(true);
}

void SetupAssistantController::chooseWhetherToGoToCreateAccountOrMyAccountStage()
{
    if (exchange.isBusy())
        return;
    const Stage stage{&controls.myEmailErrorText, &controls.myEmailProgressIndicator};
    beginCheck(stage, tr("Verifying email address...\nPlease wait."));
    const QString email = controls.userSuppliedEmailAddress.text();
    if (email.isEmpty()) {
        qCInfo(lcSetup) << "invalid email";
        failCheck(stage,
                  tr("You need to type in a valid email address before we can "
                     "proceed."),
                  &controls.userSuppliedEmailAddress);
        return;
    }
    if (!controls.createNewAccountRadioButton.isChecked()) {
        controls.myAccountEmailAddress.setText(email);
        passCheck(stage, QStringLiteral("MyAccount"));
        return;
    }
    holdStage(stage);
    exchange.checkEmailAddress(email, [this, stage, email](const RegistrationExchange::Answer& a) {
        const std::optional<QString> error = RegistrationExchange::errorOf(a);
        if (!error) {
            failCheck(stage, tr(registrationServerError));
        } else if (*error == QLatin1String("None")) {
            controls.createAccountEmailAddress.setText(email);
            passCheck(stage, QStringLiteral("CreateAccount"));
        } else if (*error == QLatin1String("AccountAlreadyExists")) {
            failCheck(stage,
                      tr("You can not create a new account with this email address as "
                         "it is already registered. Please either choose a different "
                         "email address or select the option to use your existing "
                         "account."),
                      &controls.userSuppliedEmailAddress);
        } else {
            failCheck(stage, *error, &controls.userSuppliedEmailAddress);
        }
    });
}

void SetupAssistantController::attemptToCreateANewAccount()
{
    if (exchange.isBusy())
        return;
    const Stage stage{&controls.createAccountErrorText, &controls.createAccountProgressIndicator};
    beginCheck(stage, tr("Attempting to create account...\nPlease wait."));
    const NewAccountDetails details{.firstName = controls.createAccountFirstname.text(),
                                    .surname = controls.createAccountSurname.text(),
                                    .password = controls.createAccountPassword1.text(),
                                    .confirmation = controls.createAccountPassword2.text()};
    if (const std::optional<NewAccountDetails::Problem> problem = details.problem()) {
        // In the order of NewAccountDetails::Field.
        QLineEdit* const fields[] = {
            &controls.createAccountFirstname, &controls.createAccountSurname,
            &controls.createAccountPassword1, &controls.createAccountPassword2};
        return failCheck(stage, problem->text, fields[int(problem->field)]);
    }
    holdStage(stage);
    exchange.createPending(
        controls.userSuppliedEmailAddress.text(), details.password, details.firstName,
        details.surname, [this, stage](const RegistrationExchange::Answer& a) {
            const std::optional<QString> error = RegistrationExchange::errorOf(a);
            if (!error)
                failCheck(stage, tr(registrationServerError));
            else if (*error == QLatin1String("None"))
                passCheck(stage, QStringLiteral("ConfirmEmail"));
            else
                failCheck(stage, *error);
        });
}

void SetupAssistantController::checkIfAccountHasBeenConfirmed()
{
    if (exchange.isBusy())
        return;
    const Stage stage{&controls.confirmEmailErrorText, &controls.confirmEmailProgressIndicator};
    beginCheck(stage, tr("Checking account status...\nPlease wait."));
    holdStage(stage);
    const QString password = controls.createAccountPassword1.text();
    exchange.checkConfirmed(controls.userSuppliedEmailAddress.text(), password,
                            [this, stage, password](const RegistrationExchange::Answer& a) {
                                confirmedAnswer(stage, a, password, false);
                            });
}

void SetupAssistantController::verifyAccountDetails()
{
    if (exchange.isBusy())
        return;
    const Stage stage{&controls.myAccountErrorText, &controls.myAccountProgressIndicator};
    beginCheck(stage, tr("Checking account status...\nPlease wait."));
    holdStage(stage);
    const QString password = controls.myAccountPassword.text();
    exchange.checkConfirmed(controls.userSuppliedEmailAddress.text(), password,
                            [this, stage, password](const RegistrationExchange::Answer& a) {
                                confirmedAnswer(stage, a, password, true);
                            });
}

void SetupAssistantController::confirmedAnswer(const Stage& stage,
                                               const RegistrationExchange::Answer& answer,
                                               const QString& password, bool fromExistingAccount)
{
    const std::optional<QString> error = RegistrationExchange::errorOf(answer);
    if (!error)
        return failCheck(stage, tr(accountsServerError));
    if (fromExistingAccount && *error == QLatin1String("InvalidAccount"))
        return failCheck(stage,
                         tr("There is a problem connecting to this account. "
                            "Please check that you have supplied the right "
                            "email address and retype the password."),
                         &controls.myAccountPassword);
    if (*error != QLatin1String("None"))
        return failCheck(stage, *error);

    settings.setAccountDetails(
        {.emailAddress = controls.userSuppliedEmailAddress.text(), .password = password});
    settings.setCredentials(RegistrationExchange::credentialsOf(answer));
    passCheck(stage, QStringLiteral("MyLocation"));
}

void SetupAssistantController::updateCountryCode()
{
    const int index = controls.myLocationCountryPullDown.currentIndex();
    if (index <= 0)
        return;
    const QString code = CountryTable::code(index - 1);
    controls.myLocationCountryCode.setText(code);
    controls.myLocationMobileNumber.setText(QLatin1Char('+') + code);
    controls.myLocationUsePrefixTickBox.setChecked(!code.startsWith(QLatin1Char('1')));
}

void SetupAssistantController::proceedToStageConclusion()
{
    settings.setNumberTranslation(controls.myLocationUsePrefixTickBox.checkState() == Qt::Checked,
                                  controls.myLocationCountryCode.text());
    settings.setSenderID(controls.myLocationMobileNumber.text());
    showStage(QStringLiteral("Conclusion"));
}

void SetupAssistantController::passwordReminder()
{
    urls.open(endpoints.passwordReminder());
}

void SetupAssistantController::viewPrivacyPolicy()
{
    urls.open(endpoints.privacyPolicy());
}

void SetupAssistantController::filterTyping(QLineEdit* field)
{
    const FilteredText filtered = field == &controls.myLocationCountryCode
                                      ? filterCountryCode(field->text())
                                      : filterSenderId(field->text());
    for (int i = 0; i < filtered.refusals; ++i)
        sounds.play(QStringLiteral("Morse"));
    if (filtered.text != field->text()) {
        // The cursor stays after what went in, not at the end where setText() puts it.
        const int cursor = field->cursorPosition();
        field->setText(filtered.text);
        field->setCursorPosition(cursor);
    }
}
