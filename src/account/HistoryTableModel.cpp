#include "HistoryTableModel.h"

#include "Clock.h"
#include "HistoryTimeWording.h"

HistoryTableModel::HistoryTableModel(Clock& clock_, QObject* parent)
    : QAbstractTableModel(parent), clock(clock_)
{}

int HistoryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(tableRows.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const HistoryRow& row = tableRows.at(index.row());
    QString text;
    switch (index.column()) {
    case TimeColumn:
        text = localizeDate(row.timesent, clock.now());
        break;
    case NumberColumn:
        text = row.msisdn.value_or(QString());
        if (const std::optional<QString> name = names.of(text))
            text = QStringLiteral("%1 (%2)").arg(*name, text);
        break;
    case MessageColumn:
        text = row.message.value_or(QString());
        break;
    case StateColumn:
        text = stateText(row.state);
        break;
    default:
        return {};
    }
    // A cell lays out a bounded prefix of a message: the table's text layout fails on a
    // message of many megabytes, and nobody reads that much in a cell or a tooltip.
    const qsizetype limit = role == Qt::DisplayRole ? 500 : 2000;
    if (text.size() > limit) {
        qsizetype cut = limit;
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        text = text.left(cut) + QChar(0x2026);
    }
    if (role == Qt::DisplayRole)
        return text;
    // A tooltip would draw text that looks like markup as rich text; the service's text is
    // shown exactly as it came.
    return QStringLiteral("<p style='white-space:pre-wrap'>%1</p>").arg(text.toHtmlEscaped());
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return tr("Time");
    case NumberColumn:
        return tr("Number");
    case MessageColumn:
        return tr("Message");
    case StateColumn:
        //: The column of a sent message's delivery state (queued, delivered, failed).
        return tr("State");
    default:
        return {};
    }
}

void HistoryTableModel::setRows(QList<HistoryRow> rows)
{
    beginResetModel();
    tableRows = std::move(rows);
    endResetModel();
}

void HistoryTableModel::setContactNames(ContactNames contactNames)
{
    names = std::move(contactNames);
    emit dataChanged(index(0, NumberColumn), index(rowCount() - 1, NumberColumn));
}
