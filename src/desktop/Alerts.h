#pragma once

#include <QString>

#include <functional>

class QObject;

// Shows an alert with one "OK" button, modal to the window that raised it. The call returns at
// once; dismissed runs when the user has pressed OK, so the event loop never waits on a person,
// and only if context (the object whose work it finishes) still exists then.
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
};
