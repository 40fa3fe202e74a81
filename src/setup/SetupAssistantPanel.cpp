#include "SetupAssistantPanel.h"

#include "ui_SetupAssistant.h"

#include <QCloseEvent>
#include <QHBoxLayout>

SetupAssistantPanel::SetupAssistantPanel(const Platform& platform,
                                         const ServiceEndpoints& endpoints, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::SetupAssistant>())
{
    // The form's top widget is this panel itself.
    m_ui->setupUi(this);
    Ui::SetupAssistant& a = *m_ui;
    // Named fields: two controls of one type given in each other's place do not compile.
    controller = new SetupAssistantController(
        {
            .confirmEmailErrorText = *a.confirmEmailErrorText,
            .confirmEmailProgressIndicator = *a.confirmEmailProgressIndicator,
            .createAccountEmailAddress = *a.createAccountEmailAddress,
            .createAccountErrorText = *a.createAccountErrorText,
            .createAccountFirstname = *a.createAccountFirstname,
            .createAccountPassword1 = *a.createAccountPassword1,
            .createAccountPassword2 = *a.createAccountPassword2,
            .createAccountProgressIndicator = *a.createAccountProgressIndicator,
            .createAccountSurname = *a.createAccountSurname,
            .myAccountPassword = *a.myAccountPassword,
            .createNewAccountRadioButton = *a.createNewAccountRadioButton,
            .myAccountEmailAddress = *a.myAccountEmailAddress,
            .myAccountErrorText = *a.myAccountErrorText,
            .myAccountProgressIndicator = *a.myAccountProgressIndicator,
            .myEmailErrorText = *a.myEmailErrorText,
            .myEmailProgressIndicator = *a.myEmailProgressIndicator,
            .myLocationCountryCode = *a.myLocationCountryCode,
            .myLocationCountryPullDown = *a.myLocationCountryPullDown,
            .myLocationMobileNumber = *a.myLocationMobileNumber,
            .myLocationUsePrefixTickBox = *a.myLocationUsePrefixTickBox,
            .myPanel = *this,
            .userSuppliedEmailAddress = *a.userSuppliedEmailAddress,
            .myTabView = *a.myTabView,
        },
        platform, endpoints, this);

    using S = SetupAssistantController;
    const auto wire = [this](QAbstractButton* button, void (S::*action)()) {
        connect(button, &QAbstractButton::clicked, controller, action);
    };
    wire(a.IntroductionContinue, &S::proceedToStageMyEmail);
    wire(a.MyEmailAddressBack, &S::proceedToStageIntroduction);
    wire(a.MyEmailAddressContinue, &S::chooseWhetherToGoToCreateAccountOrMyAccountStage);
    wire(a.privacyPolicyButton, &S::viewPrivacyPolicy);
    wire(a.CreateAccountBack, &S::proceedToStageMyEmail);
    wire(a.CreateAccountContinue, &S::attemptToCreateANewAccount);
    wire(a.ConfirmEmailContinue, &S::checkIfAccountHasBeenConfirmed);
    wire(a.MyAccountBack, &S::proceedToStageMyEmail);
    wire(a.MyAccountContinue, &S::verifyAccountDetails);
    wire(a.passwordReminderButton, &S::passwordReminder);
    wire(a.MyLocationContinue, &S::proceedToStageConclusion);
    wire(a.ConclusionBack, &S::proceedToStageMyLocation);
    wire(a.ConclusionContinue, &S::proceedToFinish);
    wire(a.quitButton, &S::quit);
    connect(a.myLocationCountryPullDown, &QComboBox::activated, controller, &S::updateCountryCode);
    // Quit stands at the start of the showing stage's row of navigation buttons.
    const auto placeQuit = [this] {
        QWidget* page = m_ui->myTabView->currentWidget();
        if (auto* row = page->findChild<QHBoxLayout*>(page->objectName() + QStringLiteral("Nav")))
            row->insertWidget(0, m_ui->quitButton);
    };
    connect(a.myTabView, &QStackedWidget::currentChanged, this, placeQuit);
    placeQuit();
    controller->awakeFromNib();
}

SetupAssistantPanel::~SetupAssistantPanel() = default;

void SetupAssistantPanel::closeEvent(QCloseEvent* event)
{
    event->ignore();
    controller->quit();
}
