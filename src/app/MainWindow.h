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
class MobileNumberDataSource;
class MsgHistoryDataSource;
class PreferencesWindow;
class ProgressWord;
class SendSMSPushed;
class ServicesRequestWindow;
class SetupAssistantPanel;
class UpdatePanel;

// The main window: its form and the controllers of the message, the recipient, the balance and
// the history, and the windows of the other features, with the few connections between them.
// launch() then runs the launch handling.
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
    SetupAssistantPanel& assistantPanel() const { return *panel; }
    PreferencesWindow& preferencesWindow() const { return *preferences; }
    AddressBookPanel& addressBookPanel() const { return *addressBookDock; }
    ServicesRequestWindow& servicesRequestWindow() const { return *requestWindow; }
    UpdatePanel& updatePanel() const { return *updateWindow; }
    SendSMSPushed& sender() const { return *send; }
    CreditsUpdater& credits() const { return *creditsUpdater; }
    MsgHistoryDataSource& history() const { return *msgHistory; }

private:
    void wireAssistant(const Platform& platform, const ServiceEndpoints& endpoints);
    void wireAddressBook(const Platform& platform);
    void wireIntegration(const Platform& platform, const ServiceEndpoints& endpoints);

    std::unique_ptr<Ui::MainWindow> form;
    // The main window's timers wait while the first-run assistant is up.
    TimerGate launchTimers;
    SetupAssistantPanel* panel;
    PreferencesWindow* preferences;
    AddressBookPanel* addressBookDock;
    ServicesRequestWindow* requestWindow;
    UpdatePanel* updateWindow;
    std::unique_ptr<ProgressWord> progressWord;
    CharCounter* counter;
    MobileNumberDataSource* numbers;
    DraftKeeper* draft;
    SendSMSPushed* send;
    CreditsUpdater* creditsUpdater;
    MsgHistoryDataSource* msgHistory;
    DeliveryNotifications* deliveries;
};
