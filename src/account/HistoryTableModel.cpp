#include "HistoryTableModel.h"

#include "Clock.h"
#include "HistoryTimeWording.h"

#include <memory>

HistoryTableModel::HistoryTableModel(Clock& clock_, QObject* parent)
    : QAbstractTableModel(parent), clock(clock_)
{}

HistoryTableModel::~HistoryTableModel()
{
    indexer.wait();
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(searching ? shown.size() : tableRows.size());
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
    const HistoryRow& row = tableRows.at(sourceRow(index.row()));
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
    makeIndex();
    if (searching)
        findShown(nullptr);
    endResetModel();
}

void HistoryTableModel::setContactNames(ContactNames contactNames)
{
    names = std::move(contactNames);
    makeIndex();
    if (searching && !search.text.isEmpty()) {
        // A name found or lost changes which rows the search shows.
        beginResetModel();
        findShown(nullptr);
        endResetModel();
        return;
    }
    emit dataChanged(index(0, NumberColumn), index(rowCount() - 1, NumberColumn));
}

void HistoryTableModel::setSearch(const Search& wanted)
{
    if (wanted == search)
        return;
    // Typing on narrows what was shown: only those rows are looked at again.
    const bool narrows = searching && wanted.state == search.state &&
                         wanted.text.contains(search.text, Qt::CaseInsensitive);
    search = wanted;
    beginResetModel();
    searching = !search.text.isEmpty() || search.state;
    if (searching) {
        const QList<int> before = narrows ? shown : QList<int>();
        findShown(narrows ? &before : nullptr);
    } else {
        shown.clear();
    }
    endResetModel();
}

QList<HistoryRow> HistoryTableModel::shownRows() const
{
    if (!searching)
        return tableRows;
    QList<HistoryRow> rows;
    rows.reserve(shown.size());
    for (const int row : shown)
        rows.append(tableRows.at(row));
    return rows;
}

bool HistoryTableModel::matches(qsizetype row) const
{
    const HistoryRow& candidate = tableRows.at(row);
    if (search.state && candidate.state != *search.state)
        return false;
    if (search.text.isEmpty())
        return true;
    if (haystacks.size() == tableRows.size())
        return haystacks.at(row).contains(needle);
    // Until the index is made: the same question, asked of each field.
    const QString number = candidate.msisdn.value_or(QString());
    return candidate.message.value_or(QString()).contains(search.text, Qt::CaseInsensitive) ||
           number.contains(search.text, Qt::CaseInsensitive) ||
           names.of(number).value_or(QString()).contains(search.text, Qt::CaseInsensitive);
}

void HistoryTableModel::findShown(const QList<int>* among)
{
    needle = search.text.toCaseFolded();
    QList<int> found;
    if (among) {
        for (const int row : *among)
            if (matches(row))
                found.append(row);
    } else {
        for (qsizetype row = 0; row < tableRows.size(); ++row)
            if (matches(row))
                found.append(int(row));
    }
    shown = std::move(found);
}

void HistoryTableModel::makeIndex()
{
    haystacks.clear();
    const quint64 listing = ++listings;
    auto made = std::make_shared<QStringList>();
    indexer.run(
        [rows = tableRows, names = names, made] {
            QStringList folded;
            folded.reserve(rows.size());
            for (const HistoryRow& row : rows) {
                const QString number = row.msisdn.value_or(QString());
                folded.append((row.message.value_or(QString()) + QChar(u'\n') + number +
                               QChar(u'\n') + names.of(number).value_or(QString()))
                                  .toCaseFolded());
            }
            *made = std::move(folded);
            return 0;
        },
        this,
        [this, listing, made](int) {
            // An index of an earlier listing, or of names since replaced, says nothing.
            if (listing == listings)
                haystacks = std::move(*made);
        });
}

void HistoryTableModel::finishIndexing()
{
    indexer.settle();
}
