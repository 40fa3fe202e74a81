#pragma once

#include "PendingReply.h"
#include "ServiceEndpoints.h"

#include <QObject>
#include <QPointer>

class Alerts;
class CurlReply;
class NetworkAccess;
class QLineEdit;
class QPushButton;
class Settings;
class UrlOpener;
struct Platform;

// The account section of the preferences: the account's e-mail address and password, verified
// with the service before they are stored together with the credentials the service hands back,
// and the button that opens the buy-credits page.
class OptionsControllers : public QObject
{
    Q_OBJECT
public:
    // The controls it works, by their names in the window definition.
    struct Controls
    {
        QPushButton& myBuyCreditsButton;
        QLineEdit& myEmailAddress;
        QLineEdit& myPassword;
        QPushButton& mySaveButton;
    };

    OptionsControllers(const Controls& controls, const Platform& platform,
                       ServiceEndpoints endpoints, QObject* parent = nullptr);

    const Controls controls;

    void awakeFromNib();
    void loadUserDefaultsIntoControls();

public Q_SLOTS:
    void controlTextDidChange();
    void verifyAndSaveAccountDetails();
    void buyCredits();
    // The window was closed: edits that were never verified give way to the stored details.
    void discardUnsavedEdits();

Q_SIGNALS:
    // The verification's alert is up.
    void verificationAnswered();

private:
    void answered(CurlReply* reply, const QString& email, const QString& password);

    Settings& settings;
    UrlOpener& urls;
    Alerts& alerts;
    NetworkAccess& network;
    ServiceEndpoints endpoints;
    PendingReply inFlight{this};
};
