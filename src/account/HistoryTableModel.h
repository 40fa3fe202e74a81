#pragma once

#include "BackgroundWriter.h"
#include "ContactNames.h"
#include "HistoryRow.h"

#include <QAbstractTableModel>

class Clock;

// The four columns of the history's table: time, number (with the contact's name when it is in
// the address book), text and delivery state, for the rows of the last listing that the search
// shows: every row, or those whose text, number or contact name holds the search (letter case
// ignored) and whose state is the one chosen.
class HistoryTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        TimeColumn,
        NumberColumn,
        MessageColumn,
        StateColumn,
        ColumnCount
    };

    explicit HistoryTableModel(Clock& clock, QObject* parent = nullptr);
    ~HistoryTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Every row of the listing, shown or not.
    const QList<HistoryRow>& rows() const { return tableRows; }
    void setRows(QList<HistoryRow> rows);

    struct Search
    {
        QString text;
        std::optional<HistoryRow::State> state; // any, when none
        bool operator==(const Search&) const = default;
    };
    void setSearch(const Search& search);
    // The rows the search shows, in the table's order.
    QList<HistoryRow> shownRows() const;
    const HistoryRow& shownRow(int row) const { return tableRows.at(sourceRow(row)); }
    // Waits until the search's index of the rows is made, for a benchmark or a test.
    void finishIndexing();

    // The name of the card a number (as the service writes it) belongs to.
    std::optional<QString> contactName(const QString& msisdn) const { return names.of(msisdn); }
    const ContactNames& contactNames() const { return names; }
    void setContactNames(ContactNames contactNames);

private:
    int sourceRow(int row) const { return searching ? shown.at(row) : row; }
    bool matches(qsizetype row) const;
    void findShown(const QList<int>* among);
    // Starts making the index of the rows and names held now.
    void makeIndex();

    Clock& clock;
    QList<HistoryRow> tableRows;
    ContactNames names;
    Search search;
    bool searching = false;
    QList<int> shown; // the rows the search shows, while there is one
    // Each row's text, number and name folded to one case, made on a thread of its own when a
    // listing or its names come (folding 100,000 rows takes longer than a keystroke may): a
    // keystroke then only scans them. Until it is made, each field is asked in any case.
    QStringList haystacks;
    QString needle;
    quint64 listings = 0;
    BackgroundWriter indexer;
};
