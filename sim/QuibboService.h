#pragma once

#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QUrl>

#include <chrono>

#include <memory>
#include <optional>

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponse;
class QTcpServer;

// Stands in for the Quibbo service on loopback: the messaging interface on the secure host and
// the few pages of the public web site. The quibbo-sim program runs it; tests start it
// in-process.
class QuibboService : public QObject
{
    Q_OBJECT
public:
    struct Credentials
    {
        QString companyId;
        QString userId;
        QString password;
    };
    struct SentMessage
    {
        QString msisdn;
        QString text;
        QString senderId;
        QDateTime sentAt;
    };
    struct Account
    {
        QString email;
        QString password;
        Credentials credentials;
        qint64 credits = 0;
        QList<SentMessage> messages; // newest first
        bool confirmed = true;
        QString confirmationToken;
    };

    explicit QuibboService(QObject* parent = nullptr);
    ~QuibboService() override;

    // A server's TLS set-up from a PEM certificate chain and its RSA key; none if either is
    // unreadable.
    static std::optional<QSslConfiguration> loadTls(const QString& certPath,
                                                    const QString& keyPath);
    // Listens on address:port (0 picks a free port). With TLS the secure host speaks HTTPS and
    // the public site gets a plain listener of its own.
    bool listen(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0,
                const std::optional<QSslConfiguration>& tls = std::nullopt);
    QUrl secureBaseUrl() const;
    QUrl publicBaseUrl() const;

    // A confirmed account; its messaging credentials follow from the address and password.
    Credentials addAccount(const QString& email, const QString& password, qint64 credits);
    const Account* account(const QString& email) const;
    // Moves the account's messages into the past, so that their delivery states move on
    // without anyone waiting.
    void ageMessages(const QString& email, std::chrono::seconds by);

    // Adds count generated messages to an account, spread over the last weeks.
    void seedHistory(const QString& email, int count);
    // The history document the service gives for an account, newest first.
    static QByteArray historyDocument(const Account& account, const QDateTime& now);
    // Delivery moves on with time: queued, then on its way, then delivered, or failed for the
    // numbers this service treats as undeliverable (those ending in 13).
    static int stateAt(const SentMessage& message, const QDateTime& now);

    // The client version the version file names.
    void setOfferedVersion(const QString& version) { offeredVersion = version; }

    // New accounts are confirmed at once, without the e-mailed link.
    void setAutoConfirm(bool on) { autoConfirm = on; }
    // The address that confirms a pending account (the link its e-mail would carry).
    QUrl confirmationLink(const QString& email) const;
    // The user follows the link in the e-mail.
    bool confirm(const QString& email);

    // How many questions about an account (its balance, its history, its details) arrived.
    int informationRequests() const { return informationAsked; }
    // The bodies of the send requests exactly as they arrived, oldest first.
    const QList<QByteArray>& sendBodies() const { return bodies; }
    // A send to a number ending in 404 is refused: the service has no route to it.
    // Makes every send answer with this status (0 returns to normal behaviour).
    void forceSendStatus(int status) { forcedSendStatus = status; }

    // The credits a message of this text costs: one per part of 160 counted positions.
    static qint64 partsFor(const QString& text);

Q_SIGNALS:
    void logged(const QString& line);

private:
    QHttpServerResponse sendMessage(const QHttpServerRequest& request);
    QHttpServerResponse accountInformation(const QHttpServerRequest& request);
    QHttpServerResponse buyCreditsPage(const QHttpServerRequest& request);
    QHttpServerResponse registration(const QHttpServerRequest& request);
    QHttpServerResponse confirmationPage(const QHttpServerRequest& request);
    QHttpServerResponse addCredits(const QHttpServerRequest& request);
    Account* accountFor(const QString& companyId, const QString& userId, const QString& password);
    void log(const QString& line);

    std::unique_ptr<QHttpServer> secureServer;
    std::unique_ptr<QHttpServer> publicServer; // only with TLS
    QUrl secureBase;
    QUrl publicBase;
    QHash<QString, Account> accounts; // by e-mail address
    QList<QByteArray> bodies;
    int forcedSendStatus = 0;
    int informationAsked = 0;
    bool autoConfirm = false;
    QString offeredVersion = QStringLiteral(QUIBBO_VERSION);
};
