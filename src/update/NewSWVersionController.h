#pragma once

#include "PendingReply.h"
#include "ServiceEndpoints.h"

#include <QObject>
#include <QPointer>

class Alerts;
class CurlReply;
class NetworkAccess;
class QPushButton;
class QTextBrowser;
class ReleasePageDocument;
class TimerSource;
class UrlOpener;
struct Platform;

// Once per start, a second after the main window is loaded, asks the service which version of
// the client it offers; when it names another version than this one, a floating window shows
// the release page with Download and Not Now. The client never downloads anything itself.
class NewSWVersionController : public QObject
{
    Q_OBJECT
public:
    // The running build: after a version bump the check must not offer the build itself.
    static inline const QString builtInVersion = QStringLiteral(QUIBBO_VERSION);

    struct Controls
    {
        QPushButton& downloadButton;
        QPushButton& notNowButton;
        QTextBrowser& webViewer;
        QWidget& myPanel;
    };

    NewSWVersionController(const Controls& controls, const Platform& platform,
                           ServiceEndpoints endpoints, QObject* parent = nullptr);

    const Controls controls;
    QString downloadURL;

    void awakeFromNib();

public Q_SLOTS:
    void displaySWUpgradePanel();
    void downloadPushed();
    void notNowPushed();

Q_SIGNALS:
    // The version file was read, or could not be.
    void checkFinished();
    // The release page arrived (or failed) and is in the viewer.
    void releasePageShown();

private:
    void versionAnswered(CurlReply* reply);
    void loadReleasePage(const QUrl& url);

    UrlOpener& urls;
    Alerts& alerts;
    TimerSource& timers;
    NetworkAccess& network;
    ServiceEndpoints endpoints;
    PendingReply versionReply{this};
    PendingReply pageReply{this};
    ReleasePageDocument* releasePage = nullptr;
};
