#include "RecipientOutcomes.h"

RecipientOutcomes::RecipientOutcomes(QObject* parent) : QAbstractTableModel(parent) {}

void RecipientOutcomes::clear()
{
    beginResetModel();
    rows.clear();
    sentCount = 0;
    endResetModel();
}

void RecipientOutcomes::add(const QString& recipient, const QString& outcome, bool sent)
{
    beginInsertRows({}, int(rows.size()), int(rows.size()));
    rows.append({recipient, outcome, sent});
    sentCount += sent ? 1 : 0;
    endInsertRows();
}

int RecipientOutcomes::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int RecipientOutcomes::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant RecipientOutcomes::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return {};
    const Row& row = rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return index.column() == 0 ? row.recipient : row.outcome;
    return {};
}

QVariant RecipientOutcomes::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    //: The column of the people and numbers a message went to.
    return section == 0 ? tr("Recipient") : tr("Outcome");
}
