#pragma once

#include "HistoryTableModel.h"
#include "PendingReply.h"
#include "SentHistory.h"
#include "ServiceEndpoints.h"

#include <QObject>
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
class Settings;
class TimerSource;
struct Platform;

// The history of sent messages: fetched from the messaging interface, parsed as it streams in
// (a slice at a time, so the window keeps responding), and handed to the table's model with the
// names of the contacts its numbers belong to. A fetch that brings no document keeps the rows of
// the last good one; a newer fetch supersedes one still in flight. It also counts, for the send,
// what the listings hold.
class MsgHistoryDataSource : public QObject, public SentHistory
{
    Q_OBJECT
public:
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

    HistoryTableModel& model() { return table; }
    const HistoryTableModel& model() const { return table; }

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

    Settings& settings;
    TimerSource& timers;
    Clock& clock;
    NetworkAccess& network;
    ServiceEndpoints endpoints;
    AddressBook& addressBook;

    HistoryTableModel table;
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
