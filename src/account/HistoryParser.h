#pragma once

#include "HistoryRow.h"

#include <QList>
#include <QXmlStreamReader>

// Reads the history document as it streams in: root Messages, one Message per sent message
// with the attributes msisdn, timesent and state and the text as content. It never resolves an
// external entity and takes nothing from a document type declaration.
//
// Character data is collected wherever it stands and only handed to a row at the end of a
// Message, so stray text between two Message elements starts the next one's text.
class HistoryParser
{
public:
    HistoryParser();

    // Parses as far as the data given so far allows.
    void addData(const QByteArray& data);
    // No more data will come.
    void finish();

    // The document has begun: its first element was read. Before that, a failure means the
    // answer was no document at all.
    bool started() const { return documentStarted; }
    // The end of Messages was reached.
    bool complete() const { return messagesEnded; }
    // Parsing has stopped for good: an error, or the end of the data.
    bool stopped() const { return halted; }

    QList<HistoryRow> takeRows() { return std::exchange(rows, {}); }
    qsizetype rowCount() const { return rows.size(); }

private:
    void parse();
    void startElement();
    void endMessage();

    QXmlStreamReader reader;
    QList<HistoryRow> rows;
    HistoryRow current;
    std::optional<QString> accumulator;
    bool documentStarted = false;
    bool messagesEnded = false;
    bool halted = false;
};
