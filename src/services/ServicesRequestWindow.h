#pragma once

#include "ServicesClass.h"
#include "TransparentWindow.h"

#include <memory>

namespace Ui {
class ServicesRequestWindow;
}

// The floating chooser that asks where selected text from another program goes: to the user's
// own phone at once, or to another number typed in the main window. It owns the controller
// that takes such requests from the session bus.
class ServicesRequestWindow : public TransparentWindow
{
    Q_OBJECT
public:
    // The main window's parts the requests fill.
    struct MainWindowParts
    {
        QComboBox& msisdnField;
        SendSMSPushed& sendSMSController;
        MessageTextEdit& textMessageField;
        QWidget& mainWindow;
    };

    ServicesRequestWindow(const MainWindowParts& parts, AddressBook& addressBook,
                          SoundPlayer& sounds, TimerSource& timers, QWidget* parent = nullptr);
    ~ServicesRequestWindow() override;

    Ui::ServicesRequestWindow& ui() const { return *m_ui; }
    ServicesClass& services() const { return *controller; }

private:
    std::unique_ptr<Ui::ServicesRequestWindow> m_ui;
    ServicesClass* controller;
};
