#include "MainWindow.h"

#include "AddressBook.h"
#include "AddressBookPanel.h"
#include "CharCounter.h"
#include "CreditsUpdater.h"
#include "DeliveryNotifications.h"
#include "DesktopNotifications.h"
#include "DraftKeeper.h"
#include "MobileNumberDataSource.h"
#include "MsgHistoryDataSource.h"
#include "NewSWVersionController.h"
#include "OptionsControllers.h"
#include "PreferencesWindow.h"
#include "ProgressWord.h"
#include "SendSMSPushed.h"
#include "SenderIDController.h"
#include "ServicesRequestWindow.h"
#include "SetupAssistantController.h"
#include "SetupAssistantPanel.h"
#include "UpdatePanel.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QShortcut>

MainWindow::MainWindow(const Platform& given, const ServiceEndpoints& endpoints, QWidget* parent)
    : QMainWindow(parent), form(std::make_unique<Ui::MainWindow>()),
      launchTimers(given.timers, true)
{
    const Platform platform{given.settings, given.sounds, given.urls,         given.alerts,
                            launchTimers,   given.clock,  given.network,      given.addressBook,
                            given.launcher, given.drafts, given.notifications};
    form->setupUi(this);

    progressWord = std::make_unique<ProgressWord>(form->progressDescription, platform.timers);
    counter = new CharCounter({*form->charcntField, *form->messageField, *progressWord},
                              platform.settings, platform.sounds, this);
    numbers = new MobileNumberDataSource({*form->sendToComboBox}, platform.settings, this);
    send = new SendSMSPushed({*form->messageField, *form->sendProgressField, *numbers,
                              *form->statusField, *counter, *progressWord, *form->sendSMSButton},
                             platform, endpoints, this);
    draft = new DraftKeeper({*form->messageField, *form->sendToComboBox}, platform.drafts,
                            platform.timers, this);
    creditsUpdater = new CreditsUpdater({*form->creditsDisplay}, platform, endpoints, this);
    msgHistory = new MsgHistoryDataSource(
        {*form->myTableView, *form->lastRefreshedText, *form->refreshButton}, platform, endpoints,
        this);

    QSizePolicy turning = form->sendProgressField->sizePolicy();
    turning.setRetainSizeWhenHidden(true);
    form->sendProgressField->setSizePolicy(turning);
    form->sendProgressField->hide();

    connect(form->sendSMSButton, &QPushButton::clicked, send, &SendSMSPushed::sendsms);
    connect(send, &SendSMSPushed::messageSent, draft, &DraftKeeper::saveDraft);
    deliveries = new DeliveryNotifications(*msgHistory, platform.notifications, platform.settings,
                                           *this, this);
    connect(send, &SendSMSPushed::messageSent, deliveries, &DeliveryNotifications::messageSent);
    connect(send, &SendSMSPushed::creditsRefreshRequested, creditsUpdater,
            &CreditsUpdater::updateCredits);
    connect(send, &SendSMSPushed::historyRefreshRequested, msgHistory,
            &MsgHistoryDataSource::refreshMsgHistoryAfterWaitingALittleBit);
    auto* refreshShortcut = new QShortcut(QKeySequence::Refresh, this);
    connect(refreshShortcut, &QShortcut::activated, form->refreshButton,
            &QPushButton::animateClick);
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(shortcut, &QShortcut::activated, form->sendSMSButton, &QPushButton::animateClick);
    }
    connect(form->quitAction, &QAction::triggered, qApp, &QApplication::quit);

    preferences = new PreferencesWindow(platform, endpoints, this);
    connect(form->preferencesAction, &QAction::triggered, preferences, &PreferencesWindow::present);
    wireAddressBook(platform);
    wireIntegration(platform, endpoints);
    wireAssistant(platform, endpoints);
    // A click on a delivery notification brings the window forward.
    connect(&platform.notifications, &DesktopNotifications::activated, this,
            [this] { requestWindow->services().activate({}); });

    // awakeFromNib() is each controller's load-time call, run once after its controls are set:
    // it connects them and loads the stored values.
    counter->awakeFromNib();
    numbers->awakeFromNib();
    draft->awakeFromNib();
    creditsUpdater->awakeFromNib();
    msgHistory->awakeFromNib();
    // The contacts are read on a thread of their own from the start, so neither the browser
    // nor another program's request waits for them on the window's thread.
    platform.addressBook.prefetch();
    form->messageField->setFocus();
}

MainWindow::~MainWindow()
{
    draft->flush();
}

void MainWindow::launch()
{
    panel->assistant().applicationDidFinishLaunching();
}

void MainWindow::wireAssistant(const Platform& platform, const ServiceEndpoints& endpoints)
{
    panel = new SetupAssistantPanel(
        platform, endpoints, launchTimers,
        {preferences->account(), preferences->sending(), *creditsUpdater}, this);
    // Ends the event loop itself: QCoreApplication::quit() first asks every window to close,
    // and the assistant refuses (closing it means quitting), which would cancel the quit.
    connect(&panel->assistant(), &SetupAssistantController::quitRequested, qApp,
            [] { QCoreApplication::exit(0); });
}

void MainWindow::wireAddressBook(const Platform& platform)
{
    addressBookDock = new AddressBookPanel(platform.addressBook, platform.launcher, platform.urls,
                                           *form->sendToComboBox, this);
    addDockWidget(Qt::RightDockWidgetArea, addressBookDock);
    QAction* toggle = addressBookDock->toggleViewAction();
    form->viewMenu->addAction(toggle);
    // The window grows by the panel's width rather than squeezing the message into it.
    connect(toggle, &QAction::triggered, this, [this](bool shown) {
        if (!isMaximized() && !isFullScreen()) {
            const int width = addressBookDock->sizeHint().width();
            resize(this->width() + (shown ? width : -width), height());
        }
    });
}

void MainWindow::wireIntegration(const Platform& platform, const ServiceEndpoints& endpoints)
{
    requestWindow =
        new ServicesRequestWindow({*form->sendToComboBox, *send, *form->messageField, *this},
                                  platform.addressBook, platform.sounds, platform.timers, this);
    updateWindow = new UpdatePanel(platform, endpoints, this);
    // Both float; the chooser waits for a decision, so it stays above the release notes.
    connect(&updateWindow->updateCheck(), &NewSWVersionController::checkFinished, this, [this] {
        if (requestWindow->isVisible())
            requestWindow->raise();
    });
}
