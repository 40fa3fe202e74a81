#pragma once

#include "HistoryRow.h"
#include "PendingReply.h"
#include "SentHistory.h"
#include "ServiceEndpoints.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <memory>

class AddressBook;
class Clock;
class CurlReply;
class HistoryParser;
class NetworkAccess;
class QLabel;
class QPushButton;
class QTableView;
class SettingsStore;
class TimerSource;
struct Platform;

// The history of sent messages: fetched from the messaging interface, parsed as it streams in
// (a slice at a time, so the window keeps responding), and served to the four-column table:
// time, number (with the contact's name when it is in the address book), text and delivery
// state. A fetch that brings no document keeps the rows of the
// last good one; a newer fetch supersedes one still in flight.
class MsgHistoryDataSource : public QAbstractTableModel, public SentHistory
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

    const QList<HistoryRow>& rows() const { return tableRows; }
    // The name of the card a number (as the service writes it) belongs to.
    std::optional<QString> contactName(const QString& msisdn) const;

    quint64 mark() override { return ++marks; }
    std::optional<int> listedCount(const QString& msisdn, const QString& text) const override;
    void noteAccepted(const QString& msisdn, const QString& text, quint64 postedAt) override;
    void recount(QObject* context, const QString& msisdn, const QString& text,
                 std::function<void(std::optional<int>)> counted) override;

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
    void matchContacts();
    void answerRecounts();

    SettingsStore& settings;
    TimerSource& timers;
    Clock& clock;
    NetworkAccess& network;
    ServiceEndpoints endpoints;
    AddressBook& addressBook;

    QList<HistoryRow> tableRows;
    // The names of the address book's cards by their numbers as the service writes them.
    QHash<QString, QString> contactNames;
    std::optional<StringDictionary> matchedTranslation;
    bool namesMatched = false;
    PendingReply reply{this};
    std::unique_ptr<HistoryParser> parser;
    bool transferDone = false;
    bool sliceScheduled = false;

    // The order of fetches and sends, to tell which accepted sends a listing can hold.
    quint64 marks = 0;
    quint64 fetchStarted = 0; // of the fetch under way
    struct Listing
    {
        bool whole = false;
        quint64 started = 0;
        quint64 ended = 0;
    } held;
    struct Accepted
    {
        QString msisdn;
        QString text;
        quint64 posted;
        quint64 accepted;
    };
    QList<Accepted> accepted;
    struct Recount
    {
        QPointer<QObject> context;
        quint64 asked;
        QString msisdn;
        QString text;
        std::function<void(std::optional<int>)> counted;
    };
    QList<Recount> recounts;
};
