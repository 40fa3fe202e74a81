#include "JsonFileSettingsStore.h"
#include "MemorySettingsStore.h"
#include "MobileNumberDataSource.h"
#include "RecentNumbers.h"
#include "Settings.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList numbered(int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(QStringLiteral("0770090%1").arg(i, 4, 10, QLatin1Char('0')));
    return list;
}
} // namespace

class TestRecentNumbers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recording_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("after");

        const QStringList thirty = numbered(30);
        QTest::newRow("first send") << QStringList() << QStringLiteral("07700 900123")
                                    << QStringList{QStringLiteral("07700 900123")};
        QTest::newRow("known number moves to the head")
            << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}
            << QStringLiteral("c")
            << QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("two forms are two entries")
            << QStringList{QStringLiteral("07700 900123")} << QStringLiteral("07700900123")
            << QStringList{QStringLiteral("07700900123"), QStringLiteral("07700 900123")};
        QTest::newRow("full list drops its oldest")
            << thirty << QStringLiteral("new")
            << QStringList{QStringLiteral("new")} + thirty.mid(0, 29);
        QTest::newRow("hand-written 35 keeps its length")
            << numbered(35) << QStringLiteral("new")
            << QStringList{QStringLiteral("new")} + numbered(34);
    }
    void recording()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, number);
        QFETCH(QStringList, after);
        QCOMPARE(withRecordedNumber(before, number), after);
    }

    // Each send heads the list without touching what is typed in the box; the next start,
    // with a store of its own, shows the list again, newest first, with the box empty.
    void listSurvivesANewStoreAndKeepsWhatIsTyped()
    {
        QTemporaryDir home;
        for (const QStringList& recorded : {QStringList{"+44 7700 900123", "07700 900456"}, {}}) {
            JsonFileSettingsStore store(home.filePath(QStringLiteral("settings.json")));
            Settings settings(store);
            QComboBox box;
            MobileNumberDataSource numbers({box}, settings);
            numbers.awakeFromNib();
            QCOMPARE(box.count(), recorded.isEmpty() ? 2 : 0);
            QCOMPARE(box.currentText(), QString());
            box.setEditText(QStringLiteral("typed"));
            for (const QString& n : recorded)
                numbers.updateComboBoxWithNewNumber(n);
            QCOMPARE(box.currentText(), QStringLiteral("typed"));
        }
        JsonFileSettingsStore store(home.filePath(QStringLiteral("settings.json")));
        QCOMPARE(store.arrayForKey(QStringLiteral("RecentMsisdns")),
                 (QStringList{"07700 900456", "+44 7700 900123"}));
    }

    // After a send, the Down key in the emptied box brings the newest number first.
    void downBringsTheNewestNumber()
    {
        MemorySettingsStore store;
        Settings settings(store);
        QComboBox box;
        MobileNumberDataSource numbers({box}, settings);
        numbers.awakeFromNib();
        numbers.updateComboBoxWithNewNumber(QStringLiteral("07700 900123"));
        numbers.updateComboBoxWithNewNumber(QStringLiteral("07700 900456"));
        numbers.clearNumberToSendMsgTo();
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(box.currentText(), QStringLiteral("07700 900456"));
    }
};

QTEST_MAIN(TestRecentNumbers)
#include "tst_recentnumbers.moc"
