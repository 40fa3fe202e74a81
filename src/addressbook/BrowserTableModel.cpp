#include "BrowserTableModel.h"

BrowserTableModel::BrowserTableModel(QStringList headers_, RowCount rows_, Cell cell_,
                                     QObject* parent)
    : QAbstractTableModel(parent), headers(std::move(headers_)), rows(std::move(rows_)),
      cell(std::move(cell_))
{}

void BrowserTableModel::reloadData(const std::function<void()>& change)
{
    beginResetModel();
    change();
    endResetModel();
}

int BrowserTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows();
}

int BrowserTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(headers.size());
}

QVariant BrowserTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return cell(index.row(), index.column());
}

QVariant BrowserTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < headers.size())
        return headers.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
