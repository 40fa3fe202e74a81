#pragma once

#include "ContactNames.h"
#include "HistoryRow.h"

#include <QByteArray>
#include <QList>

// The history's rows as a CSV file, for a spreadsheet or a script: RFC 4180 (a field quoted when
// it holds a comma, a quote or a line break, its quotes doubled; records ended by CR LF), UTF-8,
// a header row. The columns: the time as the service gave it, in ISO 8601 with its offset; the
// number; the contact's name (empty when none); the text exactly as sent; the state, in the same
// English word whatever the user's language, so that a script reads every file alike.
class HistoryCsv
{
public:
    static QByteArray write(const QList<HistoryRow>& rows, const ContactNames& names);
    // The same columns as tab-separated text, a row a line and no header, as a spreadsheet takes
    // it from the clipboard: a tab or a line break inside a field becomes a space.
    static QString tabSeparated(const QList<HistoryRow>& rows, const ContactNames& names);
    // "2006-03-07T14:05:09+01:00"
    static QByteArray isoTime(const HistoryRow::SentTime& time);
};
