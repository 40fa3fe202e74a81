#pragma once

#include "HistoryRow.h"

#include <QDateTime>

// The history's time column: "Today 09:30", "Yesterday 13:00", a weekday for up to five days
// back (and for times after today), else a short date such as "2/03/06 13:00". The sent time is
// read at the local zone's present offset, taken from now.
QString localizeDate(const std::optional<HistoryRow::SentTime>& sent, const QDateTime& now);
