#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// Every exchange with the service goes through here: asynchronous, with a transfer time-out
// (Qt has none by default), TLS always verified, and a cap on the answer size so that a broken
// or hostile server cannot exhaust memory. The caller owns each reply and deletes it later.
class NetworkAccess
{
public:
    static constexpr std::chrono::milliseconds defaultTimeout{60'000};
    static constexpr qint64 defaultAnswerLimit = 1 << 20;

    explicit NetworkAccess(QNetworkAccessManager& manager,
                           std::chrono::milliseconds timeout = defaultTimeout);

    // Tests trust their own certificate authority through this; production keeps the system's.
    void setSslConfiguration(const QSslConfiguration& configuration);

    QNetworkReply* get(const QUrl& url, qint64 answerLimit = defaultAnswerLimit);
    QNetworkReply* post(const QUrl& url, const QByteArray& contentType, const QByteArray& body,
                        qint64 answerLimit = defaultAnswerLimit);

    // The HTTP status of the answer, or nothing when no answer came (no connection, a failed
    // handshake, a time-out). A status such as 444 arrives with an error set, so judge by this.
    static std::optional<int> httpStatus(const QNetworkReply& reply);
    // True when the answer was cut off for being larger than its limit.
    static bool exceededLimit(const QNetworkReply& reply);
    // A 2xx answer that was not cut off.
    static bool succeeded(const QNetworkReply& reply);
    // Stops a reply nobody waits for any more, without telling receiver how it ended.
    static void abandon(QNetworkReply* reply, QObject* receiver);

private:
    QNetworkReply* watch(QNetworkReply* reply, qint64 answerLimit) const;
    QNetworkRequest request(const QUrl& url) const;

    QNetworkAccessManager& manager;
    std::chrono::milliseconds timeout;
    std::optional<QSslConfiguration> sslConfiguration;
};
