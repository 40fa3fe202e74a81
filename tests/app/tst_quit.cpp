#include "AppHarness.h"
#include "TestFileSystems.h"

using namespace std::chrono_literals;

namespace {
const QString typed = QStringLiteral("Half a thought");
const QString number = QStringLiteral("07700 900123");

// The client with a message half typed and saved, whose folder then stops taking writes as
// the test says, and the rest of the message typed and tried a second later.
struct Client : AppHarness
{
    explicit Client(bool full) : failing(folder(), full)
    {
        configure(QStringLiteral("ann@example.test"), 100);
        open();
        compose(typed.left(10), number);
        test.time.advance(1s);
        // A folder with a file open for writing cannot be made read-only.
        test.drafts.wait();
    }

    QString folder() const { return test.stateFolder.filePath(QStringLiteral("quibbo")); }

    bool typeOnUnsaved()
    {
        if (!failing.isReady() || !failing.fail())
            return false;
        ui().messageField->moveCursor(QTextCursor::End);
        QTest::keyClicks(ui().messageField, typed.mid(10));
        test.time.advance(1s);
        test.drafts.wait();
        return true;
    }

    std::optional<DraftStore::Draft> onDisk() { return test.drafts.read(); }

    FailingFolder failing;
};
} // namespace

class QuitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // As editors do: a quit that would lose what is typed asks first, and waits for the answer.
    void aQuitAsksWhenTheDraftCannotBeSaved_data() { FailingFolder::addRows(); }
    void aQuitAsksWhenTheDraftCannotBeSaved()
    {
        QUIBBO_SKIP_WITHOUT_MOUNTS();
        QFETCH(bool, full);
        QFETCH(int, error);
        Client client(full);
        QVERIFY2(client.typeOnUnsaved(), qPrintable(client.failing.error()));
        client.window->show();

        QVERIFY(!client.window->close());
        QCOMPARE(client.test.alerts.asked.size(), 1);
        QCOMPARE(
            client.test.alerts.asked[0].message,
            QStringLiteral("Your draft could not be saved: %1.").arg(StorageStatus::reason(error)));
        QCOMPARE(client.test.alerts.asked[0].goOn, QStringLiteral("&Quit Anyway"));
        // A second quit while it asks (the menu's, the window's button) asks nothing more.
        QVERIFY(!client.window->close());
        QCOMPARE(client.test.alerts.asked.size(), 1);

        client.test.alerts.answer(false);
        QVERIFY(client.window->isVisible());
        QCOMPARE(client.ui().messageField->toPlainText(), typed);
        QVERIFY(!client.window->close());
        QCOMPARE(client.test.alerts.asked.size(), 1);
        client.test.alerts.answer(true);
        QVERIFY(client.window->close());
        QVERIFY(client.test.alerts.asked.isEmpty());
    }

    // Once the disk takes writes again, a quit saves the text and asks nothing; so does a quit
    // that cannot ask (a logout, a termination signal), before the store's own retry.
    void aQuitSavesWhatItCan_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<bool>("fromWindow");
        for (const bool full : {true, false})
            for (const bool fromWindow : {true, false})
                QTest::addRow("%s, %s", full ? "full disk" : "read-only folder",
                              fromWindow ? "from the window" : "at a logout")
                    << full << fromWindow;
    }
    void aQuitSavesWhatItCan()
    {
        QUIBBO_SKIP_WITHOUT_MOUNTS();
        QFETCH(bool, full);
        QFETCH(bool, fromWindow);
        Client client(full);
        QVERIFY2(client.typeOnUnsaved(), qPrintable(client.failing.error()));
        QCOMPARE_NE(client.onDisk()->message, typed);
        client.failing.heal();
        if (fromWindow)
            QVERIFY(client.window->close());
        client.window.reset();
        QVERIFY(client.test.alerts.asked.isEmpty());
        QCOMPARE(client.onDisk(), (DraftStore::Draft{typed, number}));
    }
};

QTEST_MAIN(QuitTest)
#include "tst_quit.moc"
