#include "NetworkAccess.h"

#include "CurlReply.h"
#include "CurlSession.h"

NetworkAccess::NetworkAccess(std::chrono::milliseconds timeout_) : timeout(timeout_) {}

NetworkAccess::~NetworkAccess() = default;

void NetworkAccess::setCertificateAuthorities(const QByteArray& pem)
{
    authorities = pem;
}

CurlSession* NetworkAccess::session()
{
    if (!curl) {
        if (const CurlLibrary* library = CurlLibrary::get())
            curl = std::make_unique<CurlSession>(*library);
    }
    return curl.get();
}

QNetworkReply* NetworkAccess::get(const QUrl& url, qint64 answerLimit)
{
    return new CurlReply(session(), {url}, {answerLimit, timeout, timeout}, authorities);
}

QNetworkReply* NetworkAccess::getStream(const QUrl& url, qint64 answerLimit)
{
    return new CurlReply(session(), {url}, {answerLimit, timeout, 5 * timeout}, authorities);
}

QNetworkReply* NetworkAccess::postOnce(const QUrl& url, const QByteArray& contentType,
                                       const QByteArray& body)
{
    return new CurlReply(session(), {url, "POST", contentType, body, true}, {0, timeout, timeout},
                         authorities);
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
    const auto* curlReply = qobject_cast<const CurlReply*>(&reply);
    return curlReply && curlReply->exceededLimit();
}

bool NetworkAccess::succeeded(const QNetworkReply& reply)
{
    const std::optional<int> status = httpStatus(reply);
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    return status && *status >= 200 && *status <= 299 && reply.error() == QNetworkReply::NoError &&
           !exceededLimit(reply) && (encoding.isEmpty() || encoding == "identity");
}
