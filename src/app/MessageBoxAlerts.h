#pragma once

#include "Alerts.h"

#include <QPointer>

class QWidget;

// Alerts as message boxes, modal to their window but never to the event loop.
class MessageBoxAlerts : public Alerts
{
public:
    void setWindow(QWidget* window) { parentWindow = window; }

    void show(QObject* context, Style style, const QString& message, const QString& informativeText,
              std::function<void()> dismissed) override;

private:
    QPointer<QWidget> parentWindow;
};
