#include "HistoryCopy.h"

#include "HistoryCsv.h"
#include "HistoryTableModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>

HistoryCopy::HistoryCopy(QTableView& table_, const HistoryTableModel& history_, QObject* parent)
    : QObject(parent), table(table_), history(history_)
{
    table.installEventFilter(this);
}

QString HistoryCopy::selectedRows() const
{
    QList<int> chosen;
    for (const QModelIndex& index : table.selectionModel()->selectedRows())
        chosen.append(index.row());
    std::sort(chosen.begin(), chosen.end());
    QList<HistoryRow> rows;
    rows.reserve(chosen.size());
    for (const int row : std::as_const(chosen))
        rows.append(history.shownRow(row));
    return HistoryCsv::tabSeparated(rows, history.contactNames());
}

bool HistoryCopy::eventFilter(QObject* watched, QEvent* event)
{
    // The table takes Ctrl+C itself, for its current cell: this answers first.
    const bool copy =
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy);
    if (watched != &table || !copy || !table.selectionModel() ||
        !table.selectionModel()->hasSelection())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        QGuiApplication::clipboard()->setText(selectedRows());
    event->accept();
    return true;
}
