#pragma once

#include "Alerts.h"

#include <QMessageBox>
#include <QPointer>

class QWidget;

// Alerts as message boxes, modal to their window but never to the event loop.
class MessageBoxAlerts : public Alerts
{
public:
    void setWindow(QWidget* window) { parentWindow = window; }

    void show(QObject* context, Style style, const QString& message, const QString& informativeText,
              std::function<void()> dismissed) override;
    void confirm(QObject* context, const QString& message, const QString& informativeText,
                 const QString& goOn, std::function<void(bool goOn)> answered) override;

private:
    QMessageBox* box(QMessageBox::Icon icon, const QString& message,
                     const QString& informativeText);

    QPointer<QWidget> parentWindow;
};
