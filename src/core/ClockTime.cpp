#include "ClockTime.h"

#include <QLocale>

QString clockTime(QTime time)
{
    return QLocale().toString(time, QStringLiteral("hh:mm AP"));
}
