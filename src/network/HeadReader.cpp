#include "HeadReader.h"

#include <algorithm>
#include <utility>

namespace {
// A service's head is a few hundred bytes; each head of an answer, interim ones included, is
// held to this.
constexpr qint64 headLimit = 64 * 1024;
// Interim answers (100 Continue, 102 Processing) before the final one: a service sends a few;
// past this many it sends nothing else.
constexpr int interimLimit = 10'000;

// A length is a plain decimal number that fits the counters: "0x10", "+5", "5.0", "5 abc" or
// twenty digits would otherwise be read as some other length, and a body cut short as whole.
bool isPlainLength(const QByteArray& value)
{
    return !value.isEmpty() && value.size() <= 18 &&
           std::all_of(value.cbegin(), value.cend(), [](char c) { return c >= '0' && c <= '9'; });
}
} // namespace

HeadReader::Step HeadReader::read(QByteArray line)
{
    headBytes = atStatusLine ? line.size() : headBytes + line.size();
    if (headBytes > headLimit)
        return refuse(QStringLiteral("the answer's head is too large"));
    if (std::exchange(atStatusLine, false)) {
        // libcurl has checked the line's form: "HTTP/1.1 200 OK".
        const QList<QByteArray> parts = line.trimmed().split(' ');
        headStatus = parts.value(1).toInt();
        if (headStatus < 100 || headStatus > 999)
            return refuse(QStringLiteral("the answer's status is not a number"));
        headFields.clear();
        contentLength.reset();
        transferCodings.clear();
        // The send is judged by its final status line alone.
        return statusLineOnly && headStatus >= 200 ? Step::FinalStatus : Step::More;
    }
    if (line.startsWith(' ') || line.startsWith('\t'))
        return refuse(QStringLiteral("the answer's head has a folded line"));
    line = line.trimmed();
    if (line.isEmpty()) {
        if (headStatus >= 100 && headStatus <= 199) {
            if (++interimHeads > interimLimit)
                return refuse(QStringLiteral("the answer never goes past interim heads"));
            atStatusLine = true; // an interim answer: the real one follows
            return Step::More;
        }
        return Step::Ended;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return refuse(QStringLiteral("the answer's head has a line without a name"));
    const QByteArray name = line.left(colon).trimmed();
    const QByteArray value = line.mid(colon + 1).trimmed();
    headFields.append({name, value});
    if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
        // The same length repeated is one length; two different ones leave the end unknown.
        for (const QByteArray& length : value.split(',')) {
            if (!isPlainLength(length.trimmed()))
                return refuse(QStringLiteral("the answer's length is not a number"));
            if (contentLength && *contentLength != length.trimmed())
                return refuse(QStringLiteral("the answer has two lengths"));
            contentLength = length.trimmed();
        }
    } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
        for (const QByteArray& coding : value.split(','))
            transferCodings.append(coding.trimmed().toLower());
        // Nothing here decodes any coding but chunked, and nothing may come after it.
        if (transferCodings != QList<QByteArray>{"chunked"})
            return refuse(QStringLiteral("the answer's transfer coding is unknown"));
    }
    return Step::More;
}

HeadReader::Step HeadReader::refuse(const QString& why)
{
    refused = why;
    return Step::Refused;
}
