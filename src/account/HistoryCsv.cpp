#include "HistoryCsv.h"

#include <QDate>

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

QByteArray stateWord(HistoryRow::State state)
{
    switch (state) {
    case HistoryRow::State::Queued:
        return QByteArrayLiteral("Queued");
    case HistoryRow::State::Ongoing:
        return QByteArrayLiteral("Ongoing");
    case HistoryRow::State::Successful:
        return QByteArrayLiteral("Successful");
    case HistoryRow::State::Failed:
        return QByteArrayLiteral("Failed");
    case HistoryRow::State::Unknown:
        break;
    }
    return QByteArrayLiteral("Unknown");
}
} // namespace

QString HistoryCsv::tabSeparated(const QList<HistoryRow>& rows, const ContactNames& names)
{
    const auto field = [](QString text) {
        for (QChar& c : text)
            if (c == u'\t' || c == u'\n' || c == u'\r')
                c = u' ';
        return text;
    };
    QString out;
    for (const HistoryRow& row : rows) {
        const QString number = row.msisdn.value_or(QString());
        out += QString::fromLatin1(row.timesent ? isoTime(*row.timesent) : QByteArray()) + u'\t' +
               field(number) + u'\t' + field(names.of(number).value_or(QString())) + u'\t' +
               field(row.message.value_or(QString())) + u'\t' +
               QString::fromLatin1(stateWord(row.state)) + u'\n';
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
        if (row.timesent)
            out += isoTime(*row.timesent);
        out += ',';
        const QString number = row.msisdn.value_or(QString());
        appendField(out, number.toUtf8());
        out += ',';
        if (!number.isEmpty())
            appendField(out, names.of(number).value_or(QString()).toUtf8());
        out += ',';
        appendField(out, row.message.value_or(QString()).toUtf8());
        out += ',';
        out += stateWord(row.state);
        out += "\r\n";
    }
    return out;
}
