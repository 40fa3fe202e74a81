#include "FakeTime.h"
#include "HistorySearch.h"
#include "HistoryTableModel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {
using S = HistoryRow::State;

QList<HistoryRow> listing()
{
    const auto row = [](const char* msisdn, const QString& text, S state) {
        return HistoryRow{parseSentTime(u"2026-12-07 14:05:09 +0000"), QString::fromLatin1(msisdn),
                          text, state};
    };
    return {row("447700900123", QStringLiteral("See you at 8"), S::Successful),
            row("447700900456", QStringLiteral("Dinner at Ännie's?"), S::Failed),
            row("447700900123", QStringLiteral("ANNIVERSARY"), S::Queued),
            row("447700900789", QStringLiteral("Call me"), S::Ongoing),
            row("447700900456", QStringLiteral("Running late"), S::Successful)};
}

ContactNames book()
{
    AddressBook::Person ann;
    ann.firstName = QStringLiteral("Ann");
    ann.lastName = QStringLiteral("Lind");
    VCard::Phone phone;
    phone.value = QStringLiteral("447700900789");
    ann.phones = {phone};
    return ContactNames::matched({ann}, std::nullopt);
}

QStringList texts(const HistoryTableModel& model)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.index(row, HistoryTableModel::MessageColumn).data().toString();
    return shown;
}

// Before the search's index of the rows is made, and after.
void searchAndFilterWith(const QString& typed, int state, const QStringList& shown, bool indexed)
{
    FakeTime time;
    HistoryTableModel model(time);
    model.setRows(listing());
    model.setContactNames(book());
    if (indexed)
        model.finishIndexing();
    QLineEdit field;
    QComboBox filter;
    QLabel count;
    HistorySearch search({field, filter, count}, model);
    // Typed a letter at a time, as a person types: each keystroke narrows the last.
    for (qsizetype length = 1; length <= typed.size(); ++length)
        field.setText(typed.left(length));
    filter.setCurrentIndex(state);
    QCOMPARE(texts(model), shown);
    QCOMPARE(model.shownRows().size(), shown.size());
    QCOMPARE(count.isVisibleTo(&count), !typed.isEmpty() || state > 0);
    if (!typed.isEmpty() || state > 0)
        QCOMPARE(count.text(), QStringLiteral("Showing %1 of 5 messages.").arg(shown.size()));

    // A new listing, and names learnt later, are searched as they come.
    model.setRows(listing() + listing());
    QCOMPARE(model.rowCount(), 2 * shown.size());
    field.clear();
    filter.setCurrentIndex(0);
    QCOMPARE(model.rowCount(), 10);
}
} // namespace

class TestHistorySearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // By text, number or name, letter case ignored (accents as typed), by state, and both.
    void searchAndFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("state"); // the filter's entry: 0 is All
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nothing") << "" << 0
                                 << QStringList{"See you at 8", "Dinner at Ännie's?", "ANNIVERSARY",
                                                "Call me", "Running late"};
        QTest::newRow("text, any case")
            << "ann" << 0 << QStringList{"ANNIVERSARY", "Call me"}; // and Ann's
        QTest::newRow("text with an accent") << "ÄNNIE" << 0 << QStringList{"Dinner at Ännie's?"};
        QTest::newRow("number") << "900456" << 0
                                << QStringList{"Dinner at Ännie's?", "Running late"};
        QTest::newRow("name") << "lind" << 0 << QStringList{"Call me"};
        QTest::newRow("state alone") << "" << 4 << QStringList{"Dinner at Ännie's?"};
        QTest::newRow("state and text") << "at" << 3 << QStringList{"See you at 8", "Running late"};
        QTest::newRow("none matches") << "zebra" << 0 << QStringList{};
    }
    void searchAndFilter()
    {
        QFETCH(QString, typed);
        QFETCH(int, state);
        QFETCH(QStringList, shown);
        for (const bool indexed : {false, true}) {
            searchAndFilterWith(typed, state, shown, indexed);
            if (QTest::currentTestFailed())
                return;
        }
    }
    // Escape in the field empties it, and every row is back.
    void escapeEmptiesTheSearch()
    {
        FakeTime time;
        HistoryTableModel model(time);
        model.setRows(listing());
        QLineEdit field;
        QComboBox filter;
        QLabel count;
        HistorySearch search({field, filter, count}, model);
        field.show();
        QVERIFY(QTest::qWaitForWindowActive(&field));
        QTest::keyClicks(&field, QStringLiteral("late"));
        QCOMPARE(model.rowCount(), 1);
        QTest::keyClick(&field, Qt::Key_Escape);
        QCOMPARE(field.text(), QString());
        QCOMPARE(model.rowCount(), 5);
    }

    // A name that arrives after the listing is found by the search already typed.
    void aNameLearntLaterIsFound()
    {
        FakeTime time;
        HistoryTableModel model(time);
        model.setRows(listing());
        model.setSearch({QStringLiteral("lind"), std::nullopt});
        QCOMPARE(model.rowCount(), 0);
        model.setContactNames(book());
        QCOMPARE(texts(model), QStringList{"Call me"});
    }
};

QTEST_MAIN(TestHistorySearch)
#include "tst_historysearch.moc"
