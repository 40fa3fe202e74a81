#pragma once

#include "ContactNames.h"
#include "HistoryRow.h"

#include <QAbstractTableModel>

class Clock;

// The four columns of the history's table: time, number (with the contact's name when it is in
// the address book), text and delivery state, for the rows of the last listing.
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

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QList<HistoryRow>& rows() const { return tableRows; }
    void setRows(QList<HistoryRow> rows);

    // The name of the card a number (as the service writes it) belongs to.
    std::optional<QString> contactName(const QString& msisdn) const { return names.of(msisdn); }
    const ContactNames& contactNames() const { return names; }
    void setContactNames(ContactNames contactNames);

private:
    Clock& clock;
    QList<HistoryRow> tableRows;
    ContactNames names;
};
