#pragma once

#include "ServiceEndpoints.h"

#include <QDialog>

#include <memory>

namespace Ui {
class PreferencesWindow;
}
class OptionsControllers;
class SenderIDController;
struct Platform;
class Settings;

// The preferences window: its form, and the two controllers of its account and sending tabs.
// Closing it forgets edits to the account that were never verified.
class PreferencesWindow : public QDialog
{
    Q_OBJECT
public:
    PreferencesWindow(const Platform& platform, const ServiceEndpoints& endpoints,
                      QWidget* parent = nullptr);
    ~PreferencesWindow() override;

    // Shows the window, or brings it forward when it is open.
    void present();

    Ui::PreferencesWindow& ui() const { return *m_ui; }
    OptionsControllers& account() const { return *accountController; }
    SenderIDController& sending() const { return *sendingController; }

private:
    std::unique_ptr<Ui::PreferencesWindow> m_ui;
    Settings& settings;
    OptionsControllers* accountController;
    SenderIDController* sendingController;
};
