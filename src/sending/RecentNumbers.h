#pragma once

#include <QStringList>

inline constexpr qsizetype recentNumbersCap = 30;

// The recent list after a successful send to number: the number first, no other copy of it,
// and the oldest entry pushed out when the list was full. A longer list written by hand loses
// only one entry per send, so it keeps its length.
QStringList withRecordedNumber(QStringList recent, const QString& number);
