#include "HistoryRow.h"

#include <QDateTime>

HistoryRow::State stateFromCode(QStringView code)
{
    if (code.size() != 1)
        return HistoryRow::State::Unknown;
    switch (code[0].unicode()) {
    case u'0':
        return HistoryRow::State::Queued;
    case u'1':
        return HistoryRow::State::Ongoing;
    case u'2':
        return HistoryRow::State::Successful;
    case u'3':
        return HistoryRow::State::Failed;
    default:
        return HistoryRow::State::Unknown;
    }
}

QString stateText(HistoryRow::State state)
{
    switch (state) {
    case HistoryRow::State::Queued:
        return QStringLiteral("Queued");
    case HistoryRow::State::Ongoing:
        return QStringLiteral("Ongoing");
    case HistoryRow::State::Successful:
        return QStringLiteral("Successful");
    case HistoryRow::State::Failed:
        return QStringLiteral("Failed");
    case HistoryRow::State::Unknown:
        break;
    }
    return QStringLiteral("Unknown");
}

std::optional<HistoryRow::SentTime> parseSentTime(QStringView text)
{
    // yyyy-MM-dd HH:mm:ss +hhmm
    static constexpr char pattern[] = "dddd-dd-dd dd:dd:dd sdddd";
    if (text.size() != qsizetype(sizeof(pattern) - 1))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char p = pattern[i];
        const bool ok = p == 'd'   ? (c >= u'0' && c <= u'9')
                        : p == 's' ? (c == u'+' || c == u'-')
                                   : c == QLatin1Char(p);
        if (!ok)
            return std::nullopt;
    }
    const auto number = [&text](qsizetype from, qsizetype length) {
        return text.mid(from, length).toInt();
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    const int offsetMinutes = number(21, 2) * 60 + number(23, 2);
    if (!date.isValid() || !time.isValid() || number(23, 2) > 59 || offsetMinutes > 18 * 60)
        return std::nullopt;
    const int offset = (text[20] == u'-' ? -1 : 1) * offsetMinutes * 60;
    return HistoryRow::SentTime{
        QDateTime(date, time, Qt::OffsetFromUTC, offset).toMSecsSinceEpoch(), offset};
}
