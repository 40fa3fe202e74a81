#include "ServicesRequestWindow.h"

#include "ui_ServicesRequestWindow.h"

#include <QShortcut>

ServicesRequestWindow::ServicesRequestWindow(const MainWindowParts& parts, AddressBook& addressBook,
                                             SoundPlayer& sounds, TimerSource& timers,
                                             QWidget* parent)
    : TransparentWindow(parent), m_ui(std::make_unique<Ui::ServicesRequestWindow>())
{
    m_ui->setupUi(this);
    controller =
        new ServicesClass({*this, parts.msisdnField, parts.sendSMSController,
                           parts.textMessageField, parts.mainWindow, *m_ui->sendToMeButton},
                          addressBook, sounds, timers, this);
    connect(m_ui->sendToMeButton, &QPushButton::clicked, controller, &ServicesClass::sendToMyPhone);
    connect(m_ui->anotherNumberButton, &QPushButton::clicked, controller,
            &ServicesClass::sendToAnotherNumber);
    // Escape dismisses the chooser the safe way: the text waits in the main window.
    auto* dismiss = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(dismiss, &QShortcut::activated, controller, &ServicesClass::sendToAnotherNumber);
    controller->awakeFromNib();
}

ServicesRequestWindow::~ServicesRequestWindow() = default;
