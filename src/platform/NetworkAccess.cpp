#include "NetworkAccess.h"

#include "SinglePost.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

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
    // Qt inflates a compressed answer in one piece before anyone can count its bytes, so a
    // small answer could become gigabytes. Asked for none, a compressed answer stays what it
    // is and reads as no answer.
    request.setRawHeader("Accept-Encoding", "identity");
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
    QNetworkReply* reply = watch(manager.get(request(url)), timeout);
    // Nothing is read before the end, so what waits in the buffer is the whole answer so far;
    // the buffer holds one byte more than the limit, and Qt stops reading the socket there.
    reply->setReadBufferSize(answerLimit + 1);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, answerLimit] {
        if (reply->bytesAvailable() > answerLimit && reply->isRunning()) {
            reply->setProperty(exceededProperty, true);
            reply->abort();
        }
    });
    return reply;
}

QNetworkReply* NetworkAccess::getStream(const QUrl& url)
{
    QNetworkReply* reply = watch(manager.get(request(url)), 5 * timeout);
    // The reader keeps up in slices; a faster server waits instead of filling memory.
    reply->setReadBufferSize(4 << 20);
    return reply;
}

SinglePost* NetworkAccess::postOnce(const QUrl& url, const QByteArray& contentType,
                                    const QByteArray& body)
{
    return new SinglePost(url, contentType, body, sslConfiguration, timeout);
}

QNetworkReply* NetworkAccess::watch(QNetworkReply* reply, std::chrono::milliseconds deadline) const
{
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, [reply] {
        if (reply->isRunning())
            reply->abort();
    });
    timer->start(deadline);
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
    // A compressed answer was not asked for, and is not inflated here (see request()).
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    return status && *status >= 200 && *status <= 299 && reply.error() == QNetworkReply::NoError &&
           !exceededLimit(reply) && (encoding.isEmpty() || encoding == "identity");
}

void NetworkAccess::abandon(QNetworkReply* reply, QObject* receiver)
{
    if (!reply)
        return;
    reply->disconnect(receiver);
    reply->abort();
    reply->deleteLater();
}
