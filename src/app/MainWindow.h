#pragma once

#include "Platform.h"
#include "ServiceEndpoints.h"
#include "TimerGate.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class MainWindow;
} // namespace Ui
class AddressBookPanel;
class CharCounter;
class CreditsUpdater;
class DeliveryNotifications;
class DraftKeeper;
class HistoryExport;
class HistorySearch;
class MobileNumberDataSource;
class MsgHistoryDataSource;
class MessageJournal;
class Outbox;
class OutboxDialog;
class PreferencesWindow;
class ProgressWord;
class SendSMSPushed;
class ServicesRequestWindow;
class SetupAssistantPanel;
class UpdatePanel;

// The main window: its form and the controllers of the message, the recipient, the balance and
// the history, and the windows of the other features, with the few connections between them.
// launch() then runs the launch handling. The other windows (preferences, address book,
// chooser, update panel, assistant) are built on first use, so that the first frame comes at the
// speed of a bare window; their accessors build them.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(const Platform& platform, const ServiceEndpoints& endpoints,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Decides between a configured account and a first run with the setup assistant.
    void launch();

    Ui::MainWindow& ui() const { return *form; }
    SetupAssistantPanel& assistantPanel();
    PreferencesWindow& preferencesWindow();
    AddressBookPanel& addressBookPanel();
    ServicesRequestWindow& servicesRequestWindow();
    UpdatePanel& updatePanel();
    OutboxDialog& outboxDialog();
    HistoryExport& historyExport();
    Outbox& outbox() const { return *waiting; }
    MessageJournal& messages() const { return *journal; }
    SendSMSPushed& sender() const { return *send; }
    CreditsUpdater& credits() const { return *creditsUpdater; }
    MsgHistoryDataSource& history() const { return *msgHistory; }

protected:
    // Before a quit that would lose what is typed (a draft that could not be saved), asks.
    void closeEvent(QCloseEvent* event) override;

private:
    void toggleAddressBook(bool shown);
    // What the user must know about the keeping of their data: unsaved changes, a locked
    // keyring. Shown in the window rather than in a box, once, for as long as it holds.
    void showStorageNotice();
    void showOutboxCount();

    std::unique_ptr<Ui::MainWindow> form;
    // The main window's timers wait while the first-run assistant is up.
    TimerGate launchTimers;
    const Platform platform; // with launchTimers for its timers
    const ServiceEndpoints endpoints;
    SetupAssistantPanel* panel = nullptr;
    PreferencesWindow* preferences = nullptr;
    AddressBookPanel* addressBookDock = nullptr;
    ServicesRequestWindow* requestWindow = nullptr;
    UpdatePanel* updateWindow = nullptr;
    OutboxDialog* outboxWindow = nullptr;
    HistoryExport* exporter = nullptr;
    std::unique_ptr<ProgressWord> progressWord;
    CharCounter* counter;
    MobileNumberDataSource* numbers;
    DraftKeeper* draft;
    SendSMSPushed* send;
    CreditsUpdater* creditsUpdater;
    MsgHistoryDataSource* msgHistory;
    HistorySearch* historySearch;
    MessageJournal* journal;
    Outbox* waiting;
    DeliveryNotifications* deliveries;
    bool askingToQuit = false;
    bool quitAnyway = false;
};
