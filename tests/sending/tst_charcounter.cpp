#include "CounterHarness.h"
#include "TextColours.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace std::chrono_literals;

namespace {
// A selection made as a person makes it with Shift and the arrows: from its end back to its
// start, so that the cursor's position is its start.
QTextCursor selection(const QPlainTextEdit& field, int at, int length)
{
    QTextCursor cursor = field.textCursor();
    cursor.setPosition(at < 0 ? int(field.toPlainText().size()) : at + length);
    cursor.setPosition(at < 0 ? int(field.toPlainText().size()) : at, QTextCursor::KeepAnchor);
    return cursor;
}
} // namespace

class TestCharCounter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typing_data()
    {
        QTest::addColumn<QString>("longSetting");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<int>("cursorAt"); // -1: the end
        QTest::addColumn<int>("selected"); // characters selected after cursorAt
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("counter");

        const QString a159(159, u'a');
        const QString a160(160, u'a');
        // Where the cut falls is the length rule's business; these show the view follows it.
        QTest::newRow("160 plain")
            << QString() << a159 << -1 << 0 << "b" << a159 + u'b' << "1(160)";
        QTest::newRow("161st cut") << QString() << a160 << -1 << 0 << "b" << a160 << "1(160)";
        QTest::newRow("161 with long messages")
            << "ON" << a160 << -1 << 0 << "b" << a160 + u'b' << "2(1)";
        QTest::newRow("lower-case on permits one part")
            << "on" << a160 << -1 << 0 << "b" << a160 << "1(160)";
        QTest::newRow("typed in the middle cuts the end")
            << QString() << a159 + u'z' << 10 << 0 << "M"
            << QString(10, u'a') + u'M' + QString(149, u'a') << "1(160)";
        // Typing over a selection of a full message replaces it: nothing is cut.
        QTest::newRow("over a selection of one")
            << QString() << a159 + u'z' << 10 << 1 << "M"
            << QString(10, u'a') + u'M' + QString(148, u'a') + u'z' << "1(160)";
        QTest::newRow("over a selection of five, two typed")
            << QString() << a160 << 0 << 5 << "MN"
            << "MN" + QString(155, u'a') << "1(157)";
        QTest::newRow("over a selection, one too many")
            << QString() << a160 << 158 << 2 << "MNO" << QString(158, u'a') + "MN"
            << "1(160)";
        QTest::newRow("a euro sign over one position")
            << QString() << a160 << 0 << 1 << QStringLiteral("\u20ac")
            << QStringLiteral("\u20ac") + QString(158, u'a') << "1(160)";
    }

    void typing()
    {
        QFETCH(QString, longSetting);
        QFETCH(QString, initial);
        QFETCH(int, cursorAt);
        QFETCH(int, selected);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QFETCH(QString, counter);

        CounterHarness f(longSetting);
        f.message.setPlainText(initial);
        f.message.setTextCursor(selection(f.message, cursorAt, selected));
        for (QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, &f.message, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);

        QCOMPARE(f.message.toPlainText(), result);
        QCOMPARE(f.field.text(), counter);
        const bool cut = result.size() < initial.size() - selected + typed.size();
        QCOMPARE(f.sounds.played, cut ? QStringList{QStringLiteral("Morse")} : QStringList());
        QCOMPARE(f.progress.text(), cut ? QStringLiteral("Too Long") : QString());
    }

    // A paste keeps exactly what cutting the whole pasted text would keep, wherever it lands:
    // 160 positions a part, four parts with long messages allowed.
    void pasteIsCutInOneStep_data()
    {
        QTest::addColumn<QString>("longSetting");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<int>("cursorAt");
        QTest::addColumn<int>("selected"); // characters selected after cursorAt, pasted over
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");

        QTest::newRow("into the middle")
            << QString() << QString(100, u'a') << 40 << 0 << QString(1000, u'x')
            << QString(40, u'a') + QString(120, u'x');
        QTest::newRow("four parts") << "ON" << QString(10, u'a') << 5 << 0 << QString(5000, u'x')
                                    << QString(5, u'a') + QString(635, u'x');
        QTest::newRow("text already too long")
            << "OFF" << QString(300, u'a') << 200 << 0 << QString(50, u'x') << QString(160, u'a');
        QTest::newRow("short paste")
            << QString() << QString(10, u'a') << 10 << 0 << QStringLiteral("hello")
            << QString(10, u'a') + QStringLiteral("hello");
        // A euro sign takes two positions: 80 of them fill a part.
        QTest::newRow("two positions a character")
            << QString() << QString() << 0 << 0 << QString(200, QChar(0x20AC))
            << QString(80, QChar(0x20AC));
        // Over a selection, what the selection held makes room.
        QTest::newRow("over all of a full message") << QString() << QString(160, u'a') << 0 << 160
                                                    << QString(1000, u'x') << QString(160, u'x');
        QTest::newRow("over the middle of a full message, as long")
            << QString() << QString(160, u'a') << 40 << 20 << QString(20, u'x')
            << QString(40, u'a') + QString(20, u'x') + QString(100, u'a');
        QTest::newRow("over the middle, longer")
            << QString() << QString(160, u'a') << 40 << 20 << QString(500, u'x')
            << QString(40, u'a') + QString(120, u'x');
        QTest::newRow("over euro signs")
            << QString() << QString(80, QChar(0x20AC)) << 0 << 10 << QString(30, u'x')
            << QString(30, u'x') + QString(65, QChar(0x20AC));
    }

    void pasteIsCutInOneStep()
    {
        QFETCH(QString, longSetting);
        QFETCH(QString, initial);
        QFETCH(int, cursorAt);
        QFETCH(int, selected);
        QFETCH(QString, pasted);
        QFETCH(QString, kept);

        CounterHarness f(longSetting);
        {
            const QSignalBlocker quiet(f.message);
            f.message.setPlainText(initial);
        }
        f.message.setTextCursor(selection(f.message, cursorAt, selected));
        QGuiApplication::clipboard()->setText(pasted);
        f.message.paste();

        QCOMPARE(f.message.toPlainText(), kept);
        const QString whole = initial.left(cursorAt) + pasted + initial.mid(cursorAt + selected);
        QCOMPARE(f.sounds.played.size(), kept == whole ? 0 : 1);
    }

    void tooLongShowsRedForTwoSeconds()
    {
        CounterHarness f{QString()};
        f.message.setPlainText(QString(161, u'x'));
        QCOMPARE(f.progress.text(), QStringLiteral("Too Long"));
        QCOMPARE(TextColours::of(f.progress.palette()), TextColours::failure);
        f.time.advance(1999ms);
        QCOMPARE(f.progress.text(), QStringLiteral("Too Long"));
        f.time.advance(1ms);
        QCOMPARE(f.progress.text(), QString());
        QCOMPARE(TextColours::of(f.progress.palette()), TextColours::idle);
        // The count follows every edit after a cut, and the next cut is cut.
        f.message.moveCursor(QTextCursor::End);
        QTest::keyClick(&f.message, Qt::Key_Backspace);
        QCOMPARE(f.field.text(), QStringLiteral("1(159)"));
        QTest::keyClicks(&f.message, QStringLiteral("yz"));
        QCOMPARE(f.message.toPlainText(), QString(159, u'x') + u'y');
        QCOMPARE(f.sounds.played, (QStringList{QStringLiteral("Morse"), QStringLiteral("Morse")}));
    }

    void turningLongMessagesOffCutsAtTheNextEdit()
    {
        CounterHarness f{QStringLiteral("ON")};
        f.message.setPlainText(QString(300, u'x'));
        QCOMPARE(f.field.text(), QStringLiteral("2(140)"));
        f.settings.setString(QStringLiteral("longSMSAllowed"), QStringLiteral("OFF"));
        QCOMPARE(f.message.toPlainText().size(), 300);
        f.message.moveCursor(QTextCursor::End);
        QTest::keyClick(&f.message, Qt::Key_Backspace);
        QCOMPARE(f.message.toPlainText(), QString(160, u'x'));
        QCOMPARE(f.field.text(), QStringLiteral("1(160)"));
    }
};

QTEST_MAIN(TestCharCounter)
#include "tst_charcounter.moc"
