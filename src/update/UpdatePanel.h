#pragma once

#include "ServiceEndpoints.h"

#include <QWidget>

#include <memory>

namespace Ui {
class UpdatePanel;
}
class NewSWVersionController;
struct Platform;

// The floating window that announces a newer version with its release page, and the
// controller of the check that fills it, one second after start.
class UpdatePanel : public QWidget
{
    Q_OBJECT
public:
    UpdatePanel(const Platform& platform, const ServiceEndpoints& endpoints,
                QWidget* parent = nullptr);
    ~UpdatePanel() override;

    Ui::UpdatePanel& ui() const { return *m_ui; }
    NewSWVersionController& updateCheck() const { return *controller; }

private:
    std::unique_ptr<Ui::UpdatePanel> m_ui;
    NewSWVersionController* controller;
};
