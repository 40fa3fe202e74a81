#include "HistoryTimeWording.h"

#include <QCoreApplication>
#include <QLocale>

QString localizeDate(const std::optional<HistoryRow::SentTime>& sent, const QDateTime& now)
{
    if (!sent)
        return QCoreApplication::translate("HistoryTimeWording", "Not Available");
    const int localOffset = now.offsetFromUtc();
    const QDateTime shifted =
        QDateTime::fromMSecsSinceEpoch(sent->msecsSinceEpoch, Qt::OffsetFromUTC, localOffset);
    const QDate day = shifted.date();
    const qint64 daysBack = day.daysTo(now.date());

    QString dayWord;
    if (daysBack == 0)
        dayWord = QCoreApplication::translate("HistoryTimeWording", "Today");
    else if (daysBack == 1)
        dayWord = QCoreApplication::translate("HistoryTimeWording", "Yesterday");
    else if (daysBack < 6)
        dayWord = QLocale().dayName(day.dayOfWeek(), QLocale::LongFormat);
    else
        dayWord = QStringLiteral("%1/%2/%3")
                      .arg(day.day())
                      .arg(day.month(), 2, 10, QLatin1Char('0'))
                      .arg(day.year() % 100, 2, 10, QLatin1Char('0'));
    return dayWord + QLatin1Char(' ') + shifted.toString(QStringLiteral("HH:mm"));
}
