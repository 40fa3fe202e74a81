#pragma once

#include <QObject>

class HistoryTableModel;
class QTableView;

// Ctrl+C in the history's table copies the selected rows, in the export's columns, as
// tab-separated text for a spreadsheet or a mail (the table alone would copy one cell).
class HistoryCopy : public QObject
{
    Q_OBJECT
public:
    HistoryCopy(QTableView& table, const HistoryTableModel& history, QObject* parent = nullptr);

    // The selected rows as tab-separated text, in the table's order.
    QString selectedRows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView& table;
    const HistoryTableModel& history;
};
