#pragma once

#include "HistoryRow.h"
#include "PendingReply.h"
#include "ServiceEndpoints.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <memory>

class Clock;
class HistoryParser;
class NetworkAccess;
class QLabel;
class QNetworkReply;
class QPushButton;
class QTableView;
class SettingsStore;
class TimerSource;
struct Platform;

// The history of sent messages: fetched from the messaging interface, parsed as it streams in
// (a slice at a time, so the window keeps responding), and served to the four-column table:
// time, number, text and delivery state. A fetch that brings no document keeps the rows of the
// last good one; a newer fetch supersedes one still in flight.
class MsgHistoryDataSource : public QAbstractTableModel
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

    struct Controls
    {
        QTableView& myTableView;
        QLabel& lastRefreshedText;
        QPushButton& refreshButton;
    };

    MsgHistoryDataSource(const Controls& controls, const Platform& platform,
                         ServiceEndpoints endpoints, QObject* parent = nullptr);
    ~MsgHistoryDataSource() override;

    const Controls controls;

    void awakeFromNib();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QString localizeDate(const std::optional<HistoryRow::SentTime>& sent) const;

public Q_SLOTS:
    void refreshMsgHistory();
    void refreshMsgHistoryAfterWaitingALittleBit();
    void parseXMLFile();

Q_SIGNALS:
    // A fetch has ended, whatever it brought.
    void fetchFinished();

private:
    void scheduleSlice();
    void readSlice();
    void endFetch();

    SettingsStore& settings;
    TimerSource& timers;
    Clock& clock;
    NetworkAccess& network;
    ServiceEndpoints endpoints;

    QList<HistoryRow> tableRows;
    PendingReply reply{this};
    std::unique_ptr<HistoryParser> parser;
    bool transferDone = false;
    bool sliceScheduled = false;
};
