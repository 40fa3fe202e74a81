#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// Reads an HTTP answer's head, line by line as libcurl hands the lines over, and refuses what a
// service never sends and what could make a cut answer pass for a whole one: a folded line, a
// line without a name, a length that is not a plain number or two different lengths, a transfer
// coding other than plain chunked, a head past 64 KiB, endless interim heads. It is a function
// of the bytes alone, so that it is fuzzed without a socket.
class HeadReader
{
public:
    enum class Step
    {
        More,        // read on
        FinalStatus, // the final status line came, and only it was asked for
        Ended,       // the final head ended: the body follows
        Refused      // refusal() says why
    };

    // statusLineOnly: the final status line is all the caller reads.
    explicit HeadReader(bool statusLineOnly_ = false) : statusLineOnly(statusLineOnly_) {}

    // One line of the head with its line end, the status line first.
    Step read(QByteArray line);

    // The status of the head being read, or of the final one.
    int status() const { return headStatus; }
    // The final head's fields, in their order; the last of a name counts.
    const QList<QPair<QByteArray, QByteArray>>& fields() const { return headFields; }
    const QString& refusal() const { return refused; }

private:
    Step refuse(const QString& why);

    bool statusLineOnly;
    int headStatus = 0;
    QList<QPair<QByteArray, QByteArray>> headFields;
    std::optional<QByteArray> contentLength;
    QList<QByteArray> transferCodings;
    qint64 headBytes = 0; // of the head being read
    int interimHeads = 0;
    bool atStatusLine = true;
    QString refused;
};
