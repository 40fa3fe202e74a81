#include "CurlReply.h"

#include "CurlSession.h"

#include <algorithm>
#include <cstring>

namespace {
// The proxy for url as other programs on the desktop read it from the environment: the
// scheme's own variable, else all_proxy, each in lower case first, then upper case.
QByteArray proxyFor(const QUrl& url)
{
    const QByteArray scheme = url.scheme().toLatin1();
    for (const QByteArray& name : {scheme + "_proxy", QByteArray("all_proxy")}) {
        for (const QByteArray& spelling : {name, name.toUpper()}) {
            const QByteArray value = qgetenv(spelling.constData()).trimmed();
            if (!value.isEmpty())
                return value;
        }
    }
    return {};
}

QByteArray noProxy()
{
    const QByteArray lower = qgetenv("no_proxy");
    return lower.isEmpty() ? qgetenv("NO_PROXY") : lower;
}

CurlReply::NetworkError errorFor(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return CurlReply::HostNotFoundError;
    case CURLE_COULDNT_CONNECT:
        return CurlReply::ConnectionRefusedError;
    case CURLE_COULDNT_RESOLVE_PROXY:
        return CurlReply::ProxyNotFoundError;
    case CURLE_OPERATION_TIMEDOUT:
        return CurlReply::TimeoutError;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
        return CurlReply::SslHandshakeFailedError;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        return CurlReply::RemoteHostClosedError;
    default:
        return CurlReply::ProtocolFailure;
    }
}
} // namespace

CurlReply::CurlReply(CurlSession* session_, Request request, Limits limits,
                     const QByteArray& authorities, QObject* parent)
    : QIODevice(parent), session(session_), statusLineOnly(request.statusLineOnly),
      answerLimit(limits.answerBytes), idle(limits.idle), head(request.statusLineOnly)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    idleTimer.setSingleShot(true);
    connect(&idleTimer, &QTimer::timeout, this,
            [this] { fail(TimeoutError, QStringLiteral("no answer within the time-out")); });

    if (session)
        easy = session->library().easyInit();
    if (!easy) {
        QMetaObject::invokeMethod(
            this, [this] { fail(UnknownNetworkError, QStringLiteral("libcurl is not available")); },
            Qt::QueuedConnection);
        return;
    }
    configure(request, limits, authorities);
    idleTimer.start(idle);
    session->add(this, easy);
}

CurlReply::~CurlReply()
{
    if (session)
        session->remove(easy);
    if (easy) {
        const CurlLibrary& curl = *CurlLibrary::get();
        curl.easyCleanup(easy);
        curl.slistFreeAll(headerList);
    }
}

// Every guarantee of an exchange that libcurl can give is set here; docs/architecture.md lists
// which option gives which.
void CurlReply::configure(const Request& request, const Limits& limits,
                          const QByteArray& authorities)
{
    const CurlLibrary& curl = session->library();
    const auto set = [&](CURLoption option, auto value) { curl.easySetopt(easy, option, value); };
    set(CURLOPT_PRIVATE, this);
    set(CURLOPT_URL, request.url.toEncoded().constData());
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    // A connection of its own, closed afterwards: libcurl retries a request only on a reused
    // connection that died, so the send's POST can never leave twice.
    set(CURLOPT_FRESH_CONNECT, 1L);
    set(CURLOPT_FORBID_REUSE, 1L);
    set(CURLOPT_FOLLOWLOCATION, 0L);
    set(CURLOPT_HTTP_CONTENT_DECODING, 0L);
    set(CURLOPT_TIMEOUT_MS, long(limits.deadline.count()));
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (!authorities.isEmpty()) {
        curl_blob blob{const_cast<char*>(authorities.constData()), size_t(authorities.size()),
                       CURL_BLOB_COPY};
        set(CURLOPT_CAINFO_BLOB, &blob);
    }
    // An empty proxy keeps libcurl from reading the environment itself, which it does only in
    // part (never HTTP_PROXY).
    set(CURLOPT_PROXY, proxyFor(request.url).constData());
    set(CURLOPT_NOPROXY, noProxy().constData());
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    set(CURLOPT_HEADERFUNCTION, &CurlReply::headerArrived);
    set(CURLOPT_HEADERDATA, this);
    set(CURLOPT_WRITEFUNCTION, &CurlReply::bodyArrived);
    set(CURLOPT_WRITEDATA, this);
    set(CURLOPT_PREREQFUNCTION, &CurlReply::requestLeaving);
    set(CURLOPT_PREREQDATA, this);

    QList<QByteArray> headers{"Accept-Encoding: identity", "Connection: close"};
    if (request.method == "POST") {
        postBody = request.body;
        set(CURLOPT_POST, 1L);
        set(CURLOPT_POSTFIELDS, postBody.constData());
        set(CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(postBody.size()));
        headers.append("Content-Type: " + request.contentType);
        // No "Expect: 100-continue": a 417 to it makes libcurl post again.
        headers.append("Expect:");
    }
    for (const QByteArray& header : headers)
        headerList = curl.slistAppend(headerList, header.constData());
    set(CURLOPT_HTTPHEADER, headerList);
}

size_t CurlReply::headerArrived(char* data, size_t size, size_t count, void* self) noexcept
{
    const size_t bytes = size * count;
    auto* reply = static_cast<CurlReply*>(self);
    try {
        return reply->readHeaderLine(QByteArray(data, qsizetype(bytes))) ? bytes : 0;
    } catch (const std::exception&) {
        return reply->outOfMemory();
    }
}

size_t CurlReply::bodyArrived(char* data, size_t size, size_t count, void* self) noexcept
{
    const size_t bytes = size * count;
    auto* reply = static_cast<CurlReply*>(self);
    try {
        return reply->readBody(data, qint64(bytes)) ? bytes : 0;
    } catch (const std::exception&) {
        return reply->outOfMemory();
    }
}

int CurlReply::requestLeaving(void* self, char*, char*, int, int) noexcept
{
    static_cast<CurlReply*>(self)->leaving = true;
    return CURL_PREREQFUNC_OK;
}

size_t CurlReply::outOfMemory() noexcept
{
    // Nothing that allocates: the reason is named when the transfer has ended.
    memoryFailed = true;
    return 0;
}

bool CurlReply::stop(NetworkError code, const QString& text)
{
    stopReason.emplace(code, text);
    return false;
}

bool CurlReply::readHeaderLine(QByteArray line)
{
    idleTimer.start(idle);
    if (headEnded)
        return true; // trailers after a chunked body carry nothing for the callers
    switch (head.read(std::move(line))) {
    case HeadReader::Step::More:
        return true;
    case HeadReader::Step::FinalStatus:
        answerStatus = head.status();
        return false;
    case HeadReader::Step::Refused:
        return stop(ProtocolFailure, head.refusal());
    case HeadReader::Step::Ended:
        break;
    }
    answerStatus = head.status();
    if (*answerStatus < 200 || *answerStatus > 299) {
        failure = *answerStatus == 404 ? ContentNotFoundError : UnknownContentError;
        setErrorString(QStringLiteral("the service answered %1").arg(*answerStatus));
    }
    headEnded = true;
    signalLater();
    return true;
}

bool CurlReply::readBody(const char* data, qint64 size)
{
    idleTimer.start(idle);
    if (size == 0)
        return true;
    bodyTotal += size;
    if (bodyTotal > answerLimit) {
        exceeded = true;
        return stop(OperationCanceledError, QStringLiteral("the answer is larger than its limit"));
    }
    arrived.emplace_back(data, qsizetype(size));
    unread += size;
    signalLater();
    return true;
}

// libcurl's callbacks only record what arrived: the signals leave on the next turn of the event
// loop, where a receiver may safely stop this exchange or start another.
void CurlReply::signalLater()
{
    if (std::exchange(signalPending, true))
        return;
    QMetaObject::invokeMethod(this, &CurlReply::signalArrivals, Qt::QueuedConnection);
}

void CurlReply::signalArrivals()
{
    if (!std::exchange(signalPending, false))
        return;
    if (unread > 0)
        emit readyRead();
}

void CurlReply::transferEnded(int code)
{
    // Every way on ends in finish(), which takes the handle out of the session.
    const auto result = CURLcode(code);
    if (statusLineOnly && answerStatus)
        finish(); // stopped on purpose at the status line
    else if (memoryFailed)
        fail(UnknownNetworkError, QStringLiteral("out of memory while the answer arrived"));
    else if (stopReason)
        fail(stopReason->first, stopReason->second);
    else if (result != CURLE_OK)
        fail(errorFor(result), QString::fromUtf8(session->library().easyStrerror(result)));
    else if (!headEnded)
        fail(ProtocolFailure, QStringLiteral("the answer ended without a final head"));
    else
        finish();
}

void CurlReply::sessionEnded()
{
    session.clear();
    fail(OperationCanceledError, QStringLiteral("stopped"));
}

QByteArray CurlReply::rawHeader(const QByteArray& name) const
{
    if (!headEnded)
        return {};
    for (auto header = head.fields().crbegin(); header != head.fields().crend(); ++header)
        if (header->first.compare(name, Qt::CaseInsensitive) == 0)
            return header->second;
    return {};
}

qint64 CurlReply::bytesAvailable() const
{
    return unread + QIODevice::bytesAvailable();
}

qint64 CurlReply::readData(char* data, qint64 maxSize)
{
    // The body is kept in the pieces it arrived in: appending to one growing buffer that is
    // also read from the front copies it over and over, and a long history then holds the
    // event loop for tens of milliseconds.
    qint64 copied = 0;
    while (copied < maxSize && !arrived.empty()) {
        const QByteArray& piece = arrived.front();
        const qint64 take = std::min<qint64>(maxSize - copied, piece.size() - pieceRead);
        std::memcpy(data + copied, piece.constData() + pieceRead, size_t(take));
        copied += take;
        pieceRead += take;
        if (pieceRead == piece.size()) {
            arrived.pop_front();
            pieceRead = 0;
        }
    }
    unread -= copied;
    if (copied == 0)
        return done ? -1 : 0;
    return copied;
}

void CurlReply::abort()
{
    fail(OperationCanceledError, QStringLiteral("stopped"));
}

void CurlReply::fail(NetworkError code, const QString& text)
{
    if (done)
        return;
    failure = code;
    setErrorString(text);
    finish();
}

void CurlReply::finish()
{
    if (done)
        return;
    done = true;
    idleTimer.stop();
    if (session)
        session->remove(easy);
    signalArrivals();
    emit finished();
}
