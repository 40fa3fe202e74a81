#pragma once

#include <QByteArray>
#include <QUrl>

#include <chrono>
#include <memory>

class CurlReply;
class CurlSession;

// Every exchange with the service goes through here, through libcurl: asynchronous, on a
// connection of its own, ended within a deadline whatever the server does, TLS always verified,
// proxies taken from the environment as other desktop programs take them, the answer's head and
// body capped as the bytes arrive, so that a broken or hostile server can neither exhaust
// memory nor hold the other exchanges up. The caller owns each reply and deletes it later.
class NetworkAccess
{
public:
    static constexpr std::chrono::milliseconds defaultTimeout{60'000};
    static constexpr qint64 defaultAnswerLimit = 1 << 20;

    explicit NetworkAccess(std::chrono::milliseconds timeout = defaultTimeout);
    ~NetworkAccess();
    Q_DISABLE_COPY_MOVE(NetworkAccess)

    // The certificate authorities (PEM) trusted instead of the system's: for tests, which have
    // an authority of their own.
    void setCertificateAuthorities(const QByteArray& pem);

    // An answer read whole once it has ended, within the time-out: over answerLimit bytes, it
    // is cut off.
    CurlReply* get(const QUrl& url, qint64 answerLimit = defaultAnswerLimit);
    // An answer the caller reads as it streams in. While it keeps arriving it may take five
    // times the time-out (five minutes); a pause as long as the time-out still ends it.
    CurlReply* getStream(const QUrl& url, qint64 answerLimit);
    // A POST sent exactly once, of which only the status line is read.
    CurlReply* postOnce(const QUrl& url, const QByteArray& contentType, const QByteArray& body);

    // A 2xx answer that arrived whole: not cut off for its size, not ended by a reset, a short
    // body, a broken chunk or the deadline, and not compressed (nothing here inflates an answer).
    static bool succeeded(const CurlReply& reply);

private:
    // libcurl is loaded with the first exchange, not at start.
    CurlSession* session();

    std::chrono::milliseconds timeout;
    QByteArray authorities;
    std::unique_ptr<CurlSession> curl;
};
