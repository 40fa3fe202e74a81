#pragma once

#include <QString>
#include <QTime>

// A time of day as the status line and the history's footer say it: hours and minutes on the
// 12-hour clock with two-digit hours, then AM or PM ("03:07 PM").
QString clockTime(QTime time);
