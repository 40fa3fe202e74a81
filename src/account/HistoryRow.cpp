#include "HistoryRow.h"

#include <QCoreApplication>
#include <QDate>

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

const char* stateName(HistoryRow::State state)
{
    switch (state) {
    case HistoryRow::State::Queued:
        return QT_TRANSLATE_NOOP("HistoryRow", "Queued");
    case HistoryRow::State::Ongoing:
        return QT_TRANSLATE_NOOP("HistoryRow", "Ongoing");
    case HistoryRow::State::Successful:
        return QT_TRANSLATE_NOOP("HistoryRow", "Successful");
    case HistoryRow::State::Failed:
        return QT_TRANSLATE_NOOP("HistoryRow", "Failed");
    case HistoryRow::State::Unknown:
        break;
    }
    return QT_TRANSLATE_NOOP("HistoryRow", "Unknown");
}

QString stateText(HistoryRow::State state)
{
    return QCoreApplication::translate("HistoryRow", stateName(state));
}

std::optional<HistoryRow::SentTime> parseSentTime(QStringView text)
{
    // yyyy-MM-dd HH:mm:ss +hhmm. Read by hand: a long history has a hundred thousand of them.
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
        int value = 0;
        for (qsizetype i = from; i < from + length; ++i)
            value = value * 10 + (text[i].unicode() - u'0');
        return value;
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    const int offsetHours = number(21, 2);
    const int offsetMinutes = number(23, 2);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59 || offsetMinutes > 59 ||
        offsetHours * 60 + offsetMinutes > 18 * 60)
        return std::nullopt;
    const int offset = (text[20] == u'-' ? -1 : 1) * (offsetHours * 3600 + offsetMinutes * 60);
    constexpr qint64 unixEpochJulianDay = 2440588;
    const qint64 wallSeconds =
        (date.toJulianDay() - unixEpochJulianDay) * 86400 + hour * 3600 + minute * 60 + second;
    return HistoryRow::SentTime{(wallSeconds - offset) * 1000, offset};
}
