#include "MainWindow.h"

#include "AddressBook.h"
#include "AddressBookPanel.h"
#include "Alerts.h"
#include "CharCounter.h"
#include "CreditsUpdater.h"
#include "DeliveryNotifications.h"
#include "DesktopNotifications.h"
#include "DraftKeeper.h"
#include "HistoryCopy.h"
#include "HistoryExport.h"
#include "HistorySearch.h"
#include "MessageCount.h"
#include "MessageJournal.h"
#include "MobileNumberDataSource.h"
#include "MsgHistoryDataSource.h"
#include "NewSWVersionController.h"
#include "OptionsControllers.h"
#include "Outbox.h"
#include "OutboxDialog.h"
#include "PreferencesWindow.h"
#include "ProgressWord.h"
#include "RecipientCompleter.h"
#include "SendSMSPushed.h"
#include "SenderIDController.h"
#include "ServicesRequestWindow.h"
#include "SetupAssistantController.h"
#include "SetupAssistantPanel.h"
#include "StorageStatus.h"
#include "TextColours.h"
#include "UpdatePanel.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QShortcut>
#include <QTimer>

MainWindow::MainWindow(const Platform& given, const ServiceEndpoints& endpoints_, QWidget* parent)
    : QMainWindow(parent), form(std::make_unique<Ui::MainWindow>()),
      launchTimers(given.timers, true), platform{given.settings,      given.sounds,
                                                 given.urls,          given.alerts,
                                                 launchTimers,        given.clock,
                                                 given.network,       given.addressBook,
                                                 given.launcher,      given.drafts,
                                                 given.notifications, given.storage,
                                                 given.journal,       given.networkMonitor},
      endpoints(endpoints_)
{
    form->setupUi(this);

    progressWord = std::make_unique<ProgressWord>(form->progressDescription, platform.timers);
    counter = new CharCounter({*form->charcntField, *form->messageField, *progressWord},
                              platform.settings, platform.sounds, this);
    numbers = new MobileNumberDataSource({*form->sendToComboBox}, platform.settings, this);
    msgHistory = new MsgHistoryDataSource(
        {*form->myTableView, *form->lastRefreshedText, *form->refreshButton}, platform, endpoints,
        this);
    journal = new MessageJournal(
        platform.journal, *msgHistory, platform.timers,
        {.fieldsHold =
             [this](const JournalFile::Record& record) { return send->fieldsHold(record); },
         .formatNumber = [this](const QString& typed) { return send->formatNumber(typed); }},
        this);
    waiting = new Outbox(*journal, platform.networkMonitor, platform.timers, this);
    send = new SendSMSPushed({*form->messageField, *form->sendProgressField, *numbers,
                              *form->statusField, *counter, *progressWord, *form->sendSMSButton,
                              *form->outboxOfferButton, *form->outcomesView},
                             platform, endpoints, *journal, *waiting, this);
    new MessageCount(
        {*form->messageCountField, *form->messageField, *form->sendToComboBox},
        [this] { return send->recipients().distinct().size(); }, this);
    draft = new DraftKeeper({*form->messageField, *form->sendToComboBox}, platform.drafts,
                            platform.timers, this);
    creditsUpdater = new CreditsUpdater({*form->creditsDisplay}, platform, endpoints, this);

    QSizePolicy turning = form->sendProgressField->sizePolicy();
    turning.setRetainSizeWhenHidden(true);
    form->sendProgressField->setSizePolicy(turning);
    form->sendProgressField->hide();

    connect(form->sendSMSButton, &QPushButton::clicked, send, &SendSMSPushed::sendsms);
    connect(send, &SendSMSPushed::messageSent, draft, &DraftKeeper::saveDraft);
    connect(send, &SendSMSPushed::attemptFinished, draft, &DraftKeeper::saveDraft);
    deliveries = new DeliveryNotifications(*msgHistory, platform.notifications, platform.settings,
                                           *this, this);
    connect(send, &SendSMSPushed::messageSent, deliveries, &DeliveryNotifications::messageSent);
    connect(send, &SendSMSPushed::creditsRefreshRequested, creditsUpdater,
            &CreditsUpdater::updateCredits);
    connect(send, &SendSMSPushed::historyRefreshRequested, msgHistory,
            &MsgHistoryDataSource::refreshMsgHistoryAfterWaitingALittleBit);
    historySearch = new HistorySearch(
        {*form->historySearchField, *form->historyStateFilter, *form->historyCountText},
        msgHistory->model(), this);
    new HistoryCopy(*form->myTableView, msgHistory->model(), this);
    auto* findShortcut = new QShortcut(QKeySequence::Find, this);
    connect(findShortcut, &QShortcut::activated, historySearch, &HistorySearch::focus);
    auto* refreshShortcut = new QShortcut(QKeySequence::Refresh, this);
    connect(refreshShortcut, &QShortcut::activated, form->refreshButton,
            &QPushButton::animateClick);
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(shortcut, &QShortcut::activated, form->sendSMSButton, &QPushButton::animateClick);
    }
    connect(form->quitAction, &QAction::triggered, qApp, &QApplication::quit);
    connect(form->exportHistoryAction, &QAction::triggered, this,
            [this] { historyExport().chooseFile(); });
    connect(waiting, &Outbox::changed, this, &MainWindow::showOutboxCount);
    connect(form->outboxButton, &QPushButton::clicked, this, [this] {
        outboxDialog().show();
        outboxDialog().raise();
        outboxDialog().activateWindow();
    });
    connect(&platform.storage, &StorageStatus::changed, this, &MainWindow::showStorageNotice);

    connect(form->preferencesAction, &QAction::triggered, this,
            [this] { preferencesWindow().present(); });
    connect(form->addressBookAction, &QAction::triggered, this, &MainWindow::toggleAddressBook);
    // A click on a delivery notification brings the window forward.
    connect(&platform.notifications, &DesktopNotifications::activated, this,
            [this] { servicesRequestWindow().services().activate({}); });
    // The update panel, whose controller starts the check a second after the launch, is built
    // at the first turn of the event loop, after the first frame.
    QTimer::singleShot(0, this, [this] { updatePanel(); });

    // awakeFromNib() is each controller's load-time call, run once after its controls are set:
    // it connects them and loads the stored values.
    counter->awakeFromNib();
    numbers->awakeFromNib();
    // After the box has its model: setting one hands it to the box's completer.
    new RecipientCompleter(
        *form->sendToComboBox, platform.addressBook, [this] { return numbers->msisdnArray; }, this);
    draft->awakeFromNib();
    creditsUpdater->awakeFromNib();
    msgHistory->awakeFromNib();
    showOutboxCount();
    // After the draft: a message sent by hand that a run left unanswered is looked up while the
    // fields hold it again.
    journal->loadKept();
    waiting->load();
    connect(journal, &MessageJournal::changed, this, &MainWindow::showStorageNotice);
    showStorageNotice();
    // The contacts are read on a thread of their own from the start, so neither the browser
    // nor another program's request waits for them on the window's thread.
    platform.addressBook.prefetch();
    form->messageField->setFocus();
}

MainWindow::~MainWindow()
{
    // A quit that asked nobody (a logout, a termination signal) keeps what it still can.
    draft->keep();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // While the question is up, a second quit waits for its answer.
    if (askingToQuit) {
        event->ignore();
        return;
    }
    const int error = quitAnyway ? 0 : draft->keep();
    if (!error) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    askingToQuit = true;
    platform.alerts.confirm(
        this, tr("Your draft could not be saved: %1.").arg(StorageStatus::reason(error)),
        tr("If you quit now, the message you are typing is lost."), tr("&Quit Anyway"),
        [this](bool quit) {
            askingToQuit = false;
            if (!quit)
                return;
            quitAnyway = true;
            QCoreApplication::quit();
        });
}

void MainWindow::showStorageNotice()
{
    QStringList lines;
    const QMap<StorageStatus::File, int> unsaved = platform.storage.unsaved();
    if (const auto settings = unsaved.constFind(StorageStatus::File::Settings);
        settings != unsaved.constEnd())
        lines << tr("Your settings could not be saved: %1. Your changes apply until you quit, "
                    "and are saved as soon as that is possible.")
                     .arg(StorageStatus::reason(*settings));
    if (const auto draftFile = unsaved.constFind(StorageStatus::File::Draft);
        draftFile != unsaved.constEnd())
        lines << tr("Your draft could not be saved: %1. It is saved as soon as that is possible.")
                     .arg(StorageStatus::reason(*draftFile));
    if (const auto outboxFile = unsaved.constFind(StorageStatus::File::Outbox);
        outboxFile != unsaved.constEnd())
        lines << tr("The outbox could not be saved: %1. Its messages are sent while Quibbo runs, "
                    "and it is saved as soon as that is possible.")
                     .arg(StorageStatus::reason(*outboxFile));
    if (journal->isRefused())
        lines << tr("Quibbo runs in another session of yours: messages are sent and the outbox "
                    "is kept there.");
    if (platform.storage.passwordsWithheldBecause() == StorageStatus::Withheld::Locked)
        lines << tr("Your keyring is locked, so your passwords cannot be read. Quibbo asks for it "
                    "to be unlocked when it needs them.");
    else if (platform.storage.passwordsWithheld())
        lines << tr("Your keyring does not answer (its service is not running), so your "
                    "passwords cannot be read. Quibbo asks it again when it needs them.");
    form->storageNotice->setText(lines.join(QLatin1Char('\n')));
    form->storageNotice->setPalette(
        TextColours::withText(form->storageNotice->palette(), TextColours::failure));
    form->storageNotice->setVisible(!lines.isEmpty());
}

void MainWindow::showOutboxCount()
{
    const int count = int(waiting->messages().size());
    form->outboxButton->setText(tr("&Outbox (%n waiting)", nullptr, count));
    form->outboxButton->setVisible(count > 0);
}

HistoryExport& MainWindow::historyExport()
{
    if (!exporter)
        exporter = new HistoryExport(*this, msgHistory->model(), platform.alerts, this);
    return *exporter;
}

OutboxDialog& MainWindow::outboxDialog()
{
    if (!outboxWindow)
        outboxWindow = new OutboxDialog(*waiting, *send, this);
    return *outboxWindow;
}

void MainWindow::launch()
{
    // An account is set up when all three credentials are stored, so the decision waits for the
    // keyring's first answer (the window is usable meanwhile). Only a first run builds the
    // assistant.
    platform.settings.whenPasswordsRead(this, [this] {
        if (platform.settings.accountIsSetUp())
            launchTimers.release();
        else
            assistantPanel().assistant().present();
    });
}

SetupAssistantPanel& MainWindow::assistantPanel()
{
    if (!panel) {
        panel = new SetupAssistantPanel(platform, endpoints, this);
        // The preferences show what the assistant stored, the account first, then sending; the
        // balance is asked for, and the load-time timers run.
        const SetupAssistantController& assistant = panel->assistant();
        PreferencesWindow& options = preferencesWindow();
        connect(&assistant, &SetupAssistantController::assistantFinished, &options.account(),
                &OptionsControllers::loadUserDefaultsIntoControls);
        connect(&assistant, &SetupAssistantController::assistantFinished, &options.sending(),
                &SenderIDController::loadUserDefaultsIntoControls);
        connect(&assistant, &SetupAssistantController::assistantFinished, creditsUpdater,
                &CreditsUpdater::updateCredits);
        connect(&assistant, &SetupAssistantController::assistantFinished, this,
                [this] { launchTimers.release(); });
        // Ends the event loop itself: QCoreApplication::quit() first asks every window to close,
        // and the assistant refuses (closing it means quitting), which would cancel the quit.
        connect(&panel->assistant(), &SetupAssistantController::quitRequested, qApp,
                [] { QCoreApplication::exit(0); });
    }
    return *panel;
}

PreferencesWindow& MainWindow::preferencesWindow()
{
    if (!preferences)
        preferences = new PreferencesWindow(platform, endpoints, this);
    return *preferences;
}

AddressBookPanel& MainWindow::addressBookPanel()
{
    if (!addressBookDock) {
        addressBookDock = new AddressBookPanel(platform.addressBook, platform.launcher,
                                               platform.urls, *form->sendToComboBox, this);
        addDockWidget(Qt::RightDockWidgetArea, addressBookDock);
        // The menu's item follows the panel, closed by its own button too.
        connect(addressBookDock->toggleViewAction(), &QAction::toggled, form->addressBookAction,
                &QAction::setChecked);
    }
    return *addressBookDock;
}

void MainWindow::toggleAddressBook(bool shown)
{
    AddressBookPanel& dock = addressBookPanel();
    if (dock.toggleViewAction()->isChecked() != shown)
        dock.toggleViewAction()->trigger();
    // The window grows by the panel's width rather than squeezing the message into it.
    if (!isMaximized() && !isFullScreen()) {
        const int width = dock.sizeHint().width();
        resize(this->width() + (shown ? width : -width), height());
    }
}

ServicesRequestWindow& MainWindow::servicesRequestWindow()
{
    if (!requestWindow)
        requestWindow =
            new ServicesRequestWindow({*form->sendToComboBox, *send, *form->messageField, *this},
                                      platform.addressBook, platform.sounds, platform.timers, this);
    return *requestWindow;
}

UpdatePanel& MainWindow::updatePanel()
{
    if (!updateWindow) {
        updateWindow = new UpdatePanel(platform, endpoints, this);
        // Both float; the chooser waits for a decision, so it stays above the release notes.
        connect(&updateWindow->updateCheck(), &NewSWVersionController::checkFinished, this, [this] {
            if (requestWindow && requestWindow->isVisible())
                requestWindow->raise();
        });
    }
    return *updateWindow;
}
