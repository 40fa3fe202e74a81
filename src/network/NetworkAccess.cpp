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

CurlReply* NetworkAccess::get(const QUrl& url, qint64 answerLimit)
{
    return new CurlReply(session(), {url}, {answerLimit, timeout, timeout}, authorities);
}

CurlReply* NetworkAccess::getStream(const QUrl& url, qint64 answerLimit)
{
    return new CurlReply(session(), {url}, {answerLimit, timeout, 5 * timeout}, authorities);
}

CurlReply* NetworkAccess::postOnce(const QUrl& url, const QByteArray& contentType,
                                   const QByteArray& body)
{
    return new CurlReply(session(), {url, "POST", contentType, body, true}, {0, timeout, timeout},
                         authorities);
}

bool NetworkAccess::succeeded(const CurlReply& reply)
{
    const std::optional<int> status = reply.status();
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    return status && *status >= 200 && *status <= 299 && reply.error() == CurlReply::NoError &&
           !reply.exceededLimit() && (encoding.isEmpty() || encoding == "identity");
}
