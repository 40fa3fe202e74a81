#include "RecentNumbers.h"

QStringList withRecordedNumber(QStringList recent, const QString& number)
{
    recent.removeAll(number);
    if (recent.size() > recentNumbersCap - 1)
        recent.removeLast();
    recent.prepend(number);
    return recent;
}
