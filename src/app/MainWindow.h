#pragma once

#include "Platform.h"
#include "ServiceEndpoints.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class MainWindow;
}
class CharCounter;
class CreditsUpdater;
class MsgHistoryDataSource;
class MobileNumberDataSource;
class ProgressWord;
class SendSMSPushed;

// The one place that wires the client: it loads the main window definition, creates each
// controller once, sets the controllers' fields to the window's controls, connects the actions,
// then gives each controller its load-time call.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(const Platform& platform, const ServiceEndpoints& endpoints,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    Ui::MainWindow& ui() const { return *form; }
    CharCounter& charCounter() const { return *counter; }
    MobileNumberDataSource& recentNumbers() const { return *numbers; }
    SendSMSPushed& sender() const { return *send; }
    CreditsUpdater& credits() const { return *creditsUpdater; }
    MsgHistoryDataSource& history() const { return *msgHistory; }

private:
    std::unique_ptr<Ui::MainWindow> form;
    std::unique_ptr<ProgressWord> progressWord;
    CharCounter* counter;
    MobileNumberDataSource* numbers;
    SendSMSPushed* send;
    CreditsUpdater* creditsUpdater;
    MsgHistoryDataSource* msgHistory;
};
