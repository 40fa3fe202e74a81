#include "PreferencesWindow.h"

#include "OptionsControllers.h"
#include "Platform.h"
#include "SenderIDController.h"
#include "Settings.h"
#include "ui_PreferencesWindow.h"

PreferencesWindow::PreferencesWindow(const Platform& platform, const ServiceEndpoints& endpoints,
                                     QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PreferencesWindow>()), settings(platform.settings)
{
    m_ui->setupUi(this);
    Ui::PreferencesWindow& p = *m_ui;
    accountController = new OptionsControllers(
        {*p.myBuyCreditsButton, *p.myEmailAddress, *p.myPassword, *p.mySaveButton}, platform,
        endpoints, this);
    sendingController =
        new SenderIDController({*p.myCountryCode, *p.mySenderIDField, *p.myTranslateNumberTickBox,
                                *p.myLongSMSAllowedTickBox, *p.myNotificationsTickBox},
                               platform.settings, platform.sounds, this);
    connect(p.closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(this, &QDialog::finished, accountController, &OptionsControllers::discardUnsavedEdits);
    accountController->awakeFromNib();
    sendingController->awakeFromNib();
}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::present()
{
    // Known only once the keyring has answered, or refused a password.
    m_ui->passwordsInFileNote->setVisible(settings.passwordsKeptInFile());
    show();
    raise();
    activateWindow();
}
