#pragma once

#include "HistoryRow.h"

#include <QList>
#include <QXmlStreamReader>

// Reads the history document as it streams in: root Messages, one Message per sent message
// with the attributes msisdn, timesent and state and the text as content. A document type
// declaration (and with it any entity declaration) breaks the document where it stands.
//
// Character data is collected wherever it stands and only handed to a row at the end of a
// Message, so stray text between two Message elements starts the next one's text.
class HistoryParser
{
public:
    // The largest answer read as a listing: 100,000 messages are about 21 MB; the cap only
    // stops a server that never ends.
    static constexpr qint64 largestListing = qint64(64) << 20;

    // Without entity declarations a document's text is never longer than its bytes, which the
    // answer's size cap bounds.
    HistoryParser();

    // Parses as far as the data given so far allows. The reader is always fed the same blocks
    // of the document, however its bytes arrived, so that the outcome of a broken or badly
    // encoded document never depends on the network's pieces.
    void addData(const QByteArray& data);
    // No more data will come.
    void finish();

    // The document has begun: its first element was read. Before that, a failure means the
    // answer was no document at all.
    bool started() const { return documentStarted; }
    // The end of Messages was reached.
    bool complete() const { return messagesEnded; }

    QList<HistoryRow> takeRows() { return std::exchange(rows, {}); }

private:
    void feed(QByteArray block);
    qsizetype validUtf8Length(const QByteArray& block);
    void parse();
    void startElement();
    void endMessage();

    QXmlStreamReader reader;
    QByteArray pending;
    // The UTF-8 check: whether it applies (the document declares no other encoding), and how
    // many continuation bytes the sequence under way still needs, with the range of the next.
    std::optional<bool> utf8;
    int continuationsNeeded = 0;
    unsigned char nextLow = 0x80;
    unsigned char nextHigh = 0xbf;
    QList<HistoryRow> rows;
    HistoryRow current;
    std::optional<QString> accumulator;
    bool documentStarted = false;
    bool messagesEnded = false;
    bool halted = false;
};
