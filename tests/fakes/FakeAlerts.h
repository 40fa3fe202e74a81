#pragma once

#include "Alerts.h"

#include <QList>
#include <QObject>
#include <QPointer>

// Records alerts; a test dismisses them as the user would press OK.
class FakeAlerts : public Alerts
{
public:
    struct Shown
    {
        Style style;
        QString message;
        std::function<void()> dismissed;
        QPointer<QObject> context;
    };

    void show(QObject* context, Style style, const QString& message, const QString&,
              std::function<void()> dismissed) override
    {
        shown.append({style, message, std::move(dismissed), context});
        ++waiting;
    }

    // Presses OK on the oldest alert still up.
    void dismiss()
    {
        Shown& alert = shown[shown.size() - waiting];
        --waiting;
        if (alert.dismissed && alert.context)
            alert.dismissed();
    }

    QList<Shown> shown;
    qsizetype waiting = 0;
};
