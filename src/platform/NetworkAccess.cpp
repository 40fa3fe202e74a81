#include "NetworkAccess.h"

#include "SocketReply.h"

NetworkAccess::NetworkAccess(std::chrono::milliseconds timeout_) : timeout(timeout_) {}

void NetworkAccess::setSslConfiguration(const QSslConfiguration& configuration)
{
    sslConfiguration = configuration;
}

QNetworkReply* NetworkAccess::get(const QUrl& url, qint64 answerLimit)
{
    return new SocketReply({url}, sslConfiguration, {answerLimit, timeout, timeout});
}

QNetworkReply* NetworkAccess::getStream(const QUrl& url, qint64 answerLimit)
{
    return new SocketReply({url}, sslConfiguration, {answerLimit, timeout, 5 * timeout});
}

QNetworkReply* NetworkAccess::postOnce(const QUrl& url, const QByteArray& contentType,
                                       const QByteArray& body)
{
    return new SocketReply({url, "POST", contentType, body, true}, sslConfiguration,
                           {0, timeout, timeout});
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
    const auto* socketReply = qobject_cast<const SocketReply*>(&reply);
    return socketReply && socketReply->exceededLimit();
}

bool NetworkAccess::succeeded(const QNetworkReply& reply)
{
    const std::optional<int> status = httpStatus(reply);
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    return status && *status >= 200 && *status <= 299 && reply.error() == QNetworkReply::NoError &&
           !exceededLimit(reply) && (encoding.isEmpty() || encoding == "identity");
}
