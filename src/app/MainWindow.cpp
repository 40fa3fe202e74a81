#include "MainWindow.h"

#include "CharCounter.h"
#include "CreditsUpdater.h"
#include "MobileNumberDataSource.h"
#include "MsgHistoryDataSource.h"
#include "ProgressWord.h"
#include "SendSMSPushed.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QShortcut>

MainWindow::MainWindow(const Platform& platform, const ServiceEndpoints& endpoints, QWidget* parent)
    : QMainWindow(parent), form(std::make_unique<Ui::MainWindow>())
{
    form->setupUi(this);

    progressWord = std::make_unique<ProgressWord>(form->progressDescription, platform.timers);
    counter = new CharCounter(platform.settings, platform.sounds, this);
    numbers = new MobileNumberDataSource(platform.settings, this);
    send = new SendSMSPushed(platform, endpoints, this);
    creditsUpdater = new CreditsUpdater(platform, endpoints, this);
    msgHistory = new MsgHistoryDataSource(platform, endpoints, this);

    counter->charcntField = form->charcntField;
    counter->messageTextField = form->messageField;
    counter->progressDescription = progressWord.get();

    numbers->myComboBox = form->sendToComboBox;

    send->messageField = form->messageField;
    send->sendProgressField = form->sendProgressField;
    send->sendToNumberField = numbers;
    send->statusField = form->statusField;
    send->charCounter = counter;
    send->progressDescription = progressWord.get();
    send->myWindow = this;
    send->sendSMSButton = form->sendSMSButton;

    creditsUpdater->creditsDisplay = form->creditsDisplay;

    msgHistory->myTableView = form->myTableView;
    msgHistory->lastRefreshedText = form->lastRefreshedText;
    msgHistory->refreshButton = form->refreshButton;

    connect(form->sendSMSButton, &QPushButton::clicked, send, &SendSMSPushed::sendsms);
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

    counter->awakeFromNib();
    numbers->awakeFromNib();
    creditsUpdater->awakeFromNib();
    msgHistory->awakeFromNib();
    form->messageField->setFocus();
}

MainWindow::~MainWindow() = default;
