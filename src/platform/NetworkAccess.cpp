#include "NetworkAccess.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
constexpr char exceededProperty[] = "quibboExceededLimit";
}

NetworkAccess::NetworkAccess(QNetworkAccessManager& manager_, std::chrono::milliseconds timeout_)
    : manager(manager_), timeout(timeout_)
{}

void NetworkAccess::setSslConfiguration(const QSslConfiguration& configuration)
{
    sslConfiguration = configuration;
}

QNetworkRequest NetworkAccess::request(const QUrl& url) const
{
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    if (sslConfiguration)
        request.setSslConfiguration(*sslConfiguration);
    return request;
}

QNetworkReply* NetworkAccess::get(const QUrl& url, qint64 answerLimit)
{
    return watch(manager.get(request(url)), answerLimit);
}

QNetworkReply* NetworkAccess::post(const QUrl& url, const QByteArray& contentType,
                                   const QByteArray& body, qint64 answerLimit)
{
    QNetworkRequest r = request(url);
    r.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    return watch(manager.post(r, body), answerLimit);
}

QNetworkReply* NetworkAccess::watch(QNetworkReply* reply, qint64 answerLimit) const
{
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, answerLimit](qint64 received, qint64) {
                         if (received > answerLimit && reply->isRunning()) {
                             reply->setProperty(exceededProperty, true);
                             reply->abort();
                         }
                     });
    return reply;
}

std::optional<int> NetworkAccess::httpStatus(const QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return std::nullopt;
    return status.toInt();
}

bool NetworkAccess::exceededLimit(const QNetworkReply& reply)
{
    return reply.property(exceededProperty).toBool();
}

bool NetworkAccess::succeeded(const QNetworkReply& reply)
{
    const std::optional<int> status = httpStatus(reply);
    return status && *status >= 200 && *status <= 299 && !exceededLimit(reply);
}

void NetworkAccess::abandon(QNetworkReply* reply, QObject* receiver)
{
    if (!reply)
        return;
    reply->disconnect(receiver);
    reply->abort();
    reply->deleteLater();
}
