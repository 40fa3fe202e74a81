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

    void confirm(QObject* context, const QString& message, const QString&, const QString& goOn,
                 std::function<void(bool)> answered) override
    {
        asked.append({message, goOn, std::move(answered), context});
    }

    // Presses OK on the oldest alert still up.
    void dismiss()
    {
        Shown& alert = shown[shown.size() - waiting];
        --waiting;
        if (alert.dismissed && alert.context)
            alert.dismissed();
    }

    // Chooses the act (or Cancel) on the latest question.
    void answer(bool goOn)
    {
        const Asked question = asked.takeLast();
        if (question.context)
            question.answered(goOn);
    }

    struct Asked
    {
        QString message;
        QString goOn;
        std::function<void(bool)> answered;
        QPointer<QObject> context;
    };

    QList<Shown> shown;
    qsizetype waiting = 0;
    QList<Asked> asked;
};
