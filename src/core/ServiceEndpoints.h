#pragma once

#include "Settings.h"

#include <QList>
#include <QUrl>

#include <utility>

// Where the service lives: the secure host (HTTPS) with the messaging interface, and the public
// web site (HTTP) whose pages open in the user's browser. The simulator and the tests point the
// client elsewhere through QUIBBO_SECURE_URL and QUIBBO_WEB_URL.
class ServiceEndpoints
{
public:
    ServiceEndpoints(QUrl secureBase, QUrl publicBase);
    static ServiceEndpoints fromEnvironment();

    QUrl secureBase() const { return secure; }
    QUrl publicBase() const { return site; }

    QUrl sendMessage() const;
    QUrl buyCredits(const QString& emailAddress) const;
    // The account information the messaging interface gives for these credentials ("credits",
    // "messages"); an absent credential is sent as the text (null).
    QUrl accountInformation(const Settings::Credentials& credentials, const QString& action) const;
    // A stage of the registration script with its values, each escaped, in the order given.
    QUrl registration(const QString& stage,
                      const QList<std::pair<QByteArray, QString>>& values) const;
    // The credentials of the account with this e-mail address and password, if they match one.
    QUrl companyCredentials(const QString& emailAddress, const QString& password) const;
    // The version of the client the service offers now.
    QUrl versionFile() const;
    QUrl passwordReminder() const;
    QUrl privacyPolicy() const;

private:
    static QUrl join(const QUrl& base, const QString& path, const QByteArray& encodedQuery = {});

    QUrl secure;
    QUrl site;
};
