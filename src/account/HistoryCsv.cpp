#include "HistoryCsv.h"

#include <QDate>

#include <array>

namespace {
void appendField(QByteArray& out, const QByteArray& field)
{
    if (!field.contains(',') && !field.contains('"') && !field.contains('\n') &&
        !field.contains('\r')) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendDigits(QByteArray& out, qint64 value, int width)
{
    char digits[20];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(digits, width);
}

// A row's fields, in the order of the header.
std::array<QString, 5> columns(const HistoryRow& row, const ContactNames& names)
{
    const QString number = row.msisdn.value_or(QString());
    return {QString::fromLatin1(row.timesent ? HistoryCsv::isoTime(*row.timesent) : QByteArray()),
            number, names.of(number).value_or(QString()), row.message.value_or(QString()),
            QString::fromLatin1(stateName(row.state))};
}
} // namespace

QString HistoryCsv::tabSeparated(const QList<HistoryRow>& rows, const ContactNames& names)
{
    QString out;
    for (const HistoryRow& row : rows) {
        QStringList fields;
        for (QString field : columns(row, names)) {
            for (QChar& c : field)
                if (c == u'\t' || c == u'\n' || c == u'\r')
                    c = u' ';
            fields.append(field);
        }
        out += fields.join(u'\t') + u'\n';
    }
    return out;
}

QByteArray HistoryCsv::isoTime(const HistoryRow::SentTime& time)
{
    // By hand, as the history is read: an export has a hundred thousand of them.
    constexpr qint64 unixEpochJulianDay = 2440588;
    const qint64 wall = time.msecsSinceEpoch / 1000 + time.offsetSeconds;
    const qint64 days = wall >= 0 ? wall / 86400 : (wall - 86399) / 86400;
    const qint64 second = wall - days * 86400;
    const QDate date = QDate::fromJulianDay(days + unixEpochJulianDay);
    QByteArray out;
    out.reserve(25);
    appendDigits(out, date.year(), 4);
    out += '-';
    appendDigits(out, date.month(), 2);
    out += '-';
    appendDigits(out, date.day(), 2);
    out += 'T';
    appendDigits(out, second / 3600, 2);
    out += ':';
    appendDigits(out, second / 60 % 60, 2);
    out += ':';
    appendDigits(out, second % 60, 2);
    const int offset = time.offsetSeconds < 0 ? -time.offsetSeconds : time.offsetSeconds;
    out += time.offsetSeconds < 0 ? '-' : '+';
    appendDigits(out, offset / 3600, 2);
    out += ':';
    appendDigits(out, offset / 60 % 60, 2);
    return out;
}

QByteArray HistoryCsv::write(const QList<HistoryRow>& rows, const ContactNames& names)
{
    QByteArray out = QByteArrayLiteral("Time,Number,Name,Message,State\r\n");
    out.reserve(out.size() + rows.size() * 80);
    for (const HistoryRow& row : rows) {
        const std::array<QString, 5> fields = columns(row, names);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0)
                out += ',';
            appendField(out, fields[i].toUtf8());
        }
        out += "\r\n";
    }
    return out;
}
