#include "MsgHistoryDataSource.h"

#include "AddressBook.h"
#include "Clock.h"
#include "ClockTime.h"
#include "CurlReply.h"
#include "HistoryParser.h"
#include "NetworkAccess.h"
#include "Platform.h"
#include "Settings.h"
#include "TimerSource.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

using namespace std::chrono_literals;

namespace {
// What is parsed in one go before the event loop runs again: a few milliseconds of work.
constexpr qint64 sliceBytes = 256 * 1024;
} // namespace

MsgHistoryDataSource::MsgHistoryDataSource(const Controls& controls_, const Platform& platform,
                                           ServiceEndpoints endpoints_, QObject* parent)
    : QObject(parent), controls(controls_), settings(platform.settings), timers(platform.timers),
      clock(platform.clock), network(platform.network), endpoints(std::move(endpoints_)),
      addressBook(platform.addressBook), table(platform.clock)
{}

MsgHistoryDataSource::~MsgHistoryDataSource() = default;

void MsgHistoryDataSource::awakeFromNib()
{
    controls.myTableView.setModel(&table);
    QHeaderView* header = controls.myTableView.horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->resizeSection(HistoryTableModel::TimeColumn, 130);
    header->resizeSection(HistoryTableModel::NumberColumn, 130);
    header->resizeSection(HistoryTableModel::StateColumn, 90);
    header->setSectionResizeMode(HistoryTableModel::MessageColumn, QHeaderView::Stretch);
    controls.myTableView.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    controls.myTableView.verticalHeader()->hide();

    connect(&controls.refreshButton, &QPushButton::clicked, this,
            &MsgHistoryDataSource::refreshMsgHistory);
    connect(&addressBook, &AddressBook::changed, this, &MsgHistoryDataSource::matchContacts);
    connect(&settings, &Settings::numberTranslationChanged, this,
            &MsgHistoryDataSource::matchContacts);
    matchContacts();
    timers.singleShot(10s, this, [this] { refreshMsgHistoryAfterWaitingALittleBit(); });
}

void MsgHistoryDataSource::refreshMsgHistory()
{
    // Pressed before the keyring's first answer, the fetch waits for the password; one the
    // keyring withholds is asked for again, and without it there is nothing to fetch.
    settings.whenPasswordsRead(this, [this] {
        if (!settings.credentialsPasswordWithheld())
            parseXMLFile();
        else
            answerRecounts();
    });
}

void MsgHistoryDataSource::refreshMsgHistoryAfterWaitingALittleBit()
{
    // A timer's refresh: a password the keyring withholds waits for a person's act to ask for
    // it again (the unlock prompt).
    if (settings.credentialsPasswordWithheld())
        answerRecounts();
    else
        refreshMsgHistory();
}

void MsgHistoryDataSource::parseXMLFile()
{
    reply.abandon();
    const Settings::Credentials credentials = settings.credentials();
    parser = std::make_unique<HistoryParser>();
    transferDone = false;
    fetchStarted = mark();
    CurlReply* answer =
        network.getStream(endpoints.accountInformation(credentials, QStringLiteral("messages")),
                          HistoryParser::largestListing);
    reply.hold(answer);
    controls.refreshButton.setEnabled(false);
    connect(answer, &CurlReply::readyRead, this, &MsgHistoryDataSource::scheduleSlice);
    connect(answer, &CurlReply::finished, this, [this] {
        transferDone = true;
        scheduleSlice();
    });
}

void MsgHistoryDataSource::scheduleSlice()
{
    if (sliceScheduled)
        return;
    sliceScheduled = true;
    QTimer::singleShot(0, this, &MsgHistoryDataSource::readSlice);
}

void MsgHistoryDataSource::readSlice()
{
    sliceScheduled = false;
    if (!reply)
        return;
    // An answer stopped at its deadline is closed, with nothing more to read.
    CurlReply* answer = reply.get();
    const QByteArray slice = answer->isOpen() ? answer->read(sliceBytes) : QByteArray();
    // Only a successful answer can hold the history; anything else is read and dropped.
    if (NetworkAccess::succeeded(*answer))
        parser->addData(slice);
    if (answer->bytesAvailable() > 0)
        scheduleSlice();
    else if (transferDone)
        endFetch();
}

void MsgHistoryDataSource::endFetch()
{
    const bool answered = NetworkAccess::succeeded(*reply.get());
    reply.release();
    controls.refreshButton.setEnabled(true);
    if (answered) {
        parser->finish();
        // No document at all (the answer was not XML) keeps the rows of the last good fetch;
        // a document that broke part-way shows what was read until the break.
        if (parser->started()) {
            table.setRows(parser->takeRows());
            held = {parser->complete(), fetchStarted, mark()};
        }
        if (parser->complete())
            controls.lastRefreshedText.setText(
                tr("Listing last refreshed at %1. Contains %n messages.", nullptr,
                   int(table.rows().size()))
                    .arg(clockTime(clock.now().time())));
    }
    parser.reset();
    if (!namesMatched)
        matchContacts(); // the first rows to name
    answerRecounts();
    emit fetchFinished();
}

std::optional<int> MsgHistoryDataSource::listedCount(const QString& msisdn,
                                                     const QString& text) const
{
    if (!held.whole)
        return std::nullopt;
    int count = 0;
    for (const HistoryRow& row : table.rows())
        count += row.lists(msisdn, text) ? 1 : 0;
    for (const Accepted& send : accepted) {
        if (send.msisdn != msisdn || send.text.trimmed() != text.trimmed())
            continue;
        if (send.accepted < held.started)
            continue; // listed already
        if (send.posted > held.ended)
            ++count; // after the listing was made
        else
            return std::nullopt; // the listing may or may not hold it
    }
    return count;
}

void MsgHistoryDataSource::noteAccepted(const QString& msisdn, const QString& text,
                                        quint64 postedAt)
{
    // Sends the listing holds already are no longer needed; without any listing, a run keeps no
    // more than a person sends.
    accepted.removeIf([this](const Accepted& send) { return send.accepted < held.started; });
    if (accepted.size() == 1000)
        accepted.removeFirst();
    accepted.append({msisdn, text, postedAt, mark()});
}

void MsgHistoryDataSource::recount(QObject* context, const QString& msisdn, const QString& text,
                                   std::function<void(std::optional<int>)> counted)
{
    recounts.append({context, mark(), msisdn, text, std::move(counted)});
    refreshMsgHistory();
}

void MsgHistoryDataSource::answerRecounts()
{
    // A fetch answers the questions asked before it began; one that brought no whole listing, or
    // no fetch at all, answers that the count is unknown.
    QList<Recount> waiting;
    for (Recount& question : std::exchange(recounts, {})) {
        if (!question.context)
            continue;
        if (reply && question.asked > fetchStarted) {
            waiting.append(std::move(question));
            continue;
        }
        const bool answered = held.whole && held.started > question.asked;
        question.counted(answered ? listedCount(question.msisdn, question.text) : std::nullopt);
    }
    recounts.append(waiting);
}

void MsgHistoryDataSource::matchContacts()
{
    // Only the index the book keeps is read: before the first read has ended there is none,
    // and the book's changed() comes when there is. Nor is the book asked while there is no row
    // to name (the start, until the first fetch): asking loads the desktop's address book.
    namesMatched = false;
    if (table.rows().isEmpty() || !addressBook.isRead())
        return;
    table.setContactNames(
        ContactNames::matched(addressBook.people(), settings.numberTranslation()));
    namesMatched = true;
}
