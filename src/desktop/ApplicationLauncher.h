#pragma once

#include <QString>

// Starts the desktop's preferred application for a kind of file.
class ApplicationLauncher
{
public:
    virtual ~ApplicationLauncher() = default;
    // False when no application is registered for the type or it could not be started.
    virtual bool launchPreferredFor(const QString& mimeType) = 0;
};

// Asks GIO for the default application of the type, which honours the desktop's own
// association lists, removed associations, terminal and D-Bus-activated applications.
class DesktopApplicationLauncher : public ApplicationLauncher
{
public:
    bool launchPreferredFor(const QString& mimeType) override;
};
