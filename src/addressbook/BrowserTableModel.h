#pragma once

#include <QAbstractTableModel>

#include <functional>

// A read-only table whose rows and cells the address book browser supplies, so each of its
// three lists is served straight from the controller's own lists.
class BrowserTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using RowCount = std::function<int()>;
    using Cell = std::function<QString(int row, int column)>;

    BrowserTableModel(QStringList headers, RowCount rows, Cell cell, QObject* parent = nullptr);

    // Runs change, which replaces the rows the model serves, between the reset's two halves, so
    // that no view reads the new rows under the old count.
    void reloadData(const std::function<void()>& change);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList headers;
    RowCount rows;
    Cell cell;
};
