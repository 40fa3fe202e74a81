#pragma once

#include "SetupAssistantController.h"

#include <QDialog>

#include <memory>

namespace Ui {
class SetupAssistant;
}

// The first-run assistant's window, with its form and controller. Escape does not dismiss it
// and closing it means quitting: the user is held in the assistant until it is finished or
// they quit.
class SetupAssistantPanel : public QDialog
{
    Q_OBJECT
public:
    SetupAssistantPanel(const Platform& platform, const ServiceEndpoints& endpoints,
                        QWidget* parent = nullptr);
    ~SetupAssistantPanel() override;

    void reject() override {}

    Ui::SetupAssistant& ui() const { return *m_ui; }
    SetupAssistantController& assistant() const { return *controller; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::SetupAssistant> m_ui;
    SetupAssistantController* controller;
};
