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

// Finds the application through the freedesktop MIME associations (mimeapps.list, then the
// mimeinfo.cache of the installed applications) and starts its desktop entry's command.
class DesktopApplicationLauncher : public ApplicationLauncher
{
public:
    bool launchPreferredFor(const QString& mimeType) override;

    // The desktop entry file of the preferred application, or an empty string.
    static QString preferredDesktopEntry(const QString& mimeType);
    // The command line of a desktop entry, without its field codes.
    static QStringList commandOf(const QString& desktopEntryPath);
};
