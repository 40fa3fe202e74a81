#pragma once

#include <QString>

#include <functional>

class QObject;

// Shows an alert with one "OK" button, or a question before an act that loses something, modal
// to the window that raised it. The call returns at once; dismissed (or answered) runs when the
// user has chosen, so the event loop never waits on a person, and only if context (the object
// whose work it finishes) still exists then.
class Alerts
{
public:
    enum class Style
    {
        Informational,
        Warning
    };

    virtual ~Alerts() = default;
    virtual void show(QObject* context, Style style, const QString& message,
                      const QString& informativeText, std::function<void()> dismissed) = 0;
    // A warning with the act's button (goOn, with its mnemonic) and Cancel, which is the
    // default: answered(true) once the user chose the act.
    virtual void confirm(QObject* context, const QString& message, const QString& informativeText,
                         const QString& goOn, std::function<void(bool goOn)> answered) = 0;
};
