#include "CreditsUpdater.h"
#include "ScriptedHttpServer.h"
#include "TestPlatform.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using Answer = ScriptedHttpServer::Answer;

class TestCreditsUpdater : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QUrl& secure)
            : credits({display}, test.platform(), ServiceEndpoints(secure, secure))
        {
            display.setText(QStringLiteral("–"));
            credits.awakeFromNib();
        }
        void refresh()
        {
            QSignalSpy finished(&credits, &CreditsUpdater::exchangeFinished);
            credits.updateCredits();
            QVERIFY(finished.wait());
        }
        TestPlatform test;
        QLabel display;
        CreditsUpdater credits;
    };

private Q_SLOTS:
    // What the balance shows for an answer; one that does not arrive whole is no answer, and
    // the balance keeps its text.
    void answers_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("shown");
        const auto ok = [](const QByteArray& body) { return Answer{200, {body}}; };
        QTest::newRow("plain number") << ok("1234") << "1234";
        QTest::newRow("white space and a word") << ok("  42 credits") << "42";
        QTest::newRow("letters only") << ok("none left") << "0";
        QTest::newRow("not UTF-8") << ok("12\xff\xfe") << "0";
        QTest::newRow("beyond 32 bits") << ok("99999999999") << "2147483647";
        QTest::newRow("below 32 bits") << ok("-99999999999") << "-2147483648";
        // One sign, straight before the digits.
        QTest::newRow("plus") << ok("+5") << "5";
        QTest::newRow("minus") << ok("-5") << "-5";
        QTest::newRow("minus zero") << ok("-0") << "0";
        QTest::newRow("a sign apart from its digits") << ok("- 5") << "0";
        QTest::newRow("two signs") << ok("+-5") << "0";
        QTest::newRow("no body") << Answer{200, {}} << "–";
        QTest::newRow("error page") << Answer{500, {"<html>Error 99</html>"}} << "–";
    }

    void answers()
    {
        QFETCH(Answer, answer);
        QFETCH(QString, shown);
        ScriptedHttpServer server({answer});
        Fixture f(server.url());
        f.refresh();
        QCOMPARE(f.display.text(), shown);
    }

    void onlyTheLatestRequestIsShown()
    {
        ScriptedHttpServer server(
            {Answer{200, {"111"}, true}, Answer{200, {"222"}}, Answer{200, {"333"}}});
        Fixture f(server.url());
        QSignalSpy finished(&f.credits, &CreditsUpdater::exchangeFinished);
        f.credits.updateCredits();
        QTRY_COMPARE(server.targets.size(), 1);
        f.credits.updateCredits();
        QVERIFY(finished.wait());
        QCOMPARE(f.display.text(), QStringLiteral("222"));
        // The superseded answer, sent now, arrives before the next one and is never shown.
        server.release(0);
        f.credits.updateCredits();
        QVERIFY(finished.wait());
        QCOMPARE(f.display.text(), QStringLiteral("333"));
        QCOMPARE(finished.size(), 2);
    }
};

QTEST_MAIN(TestCreditsUpdater)
#include "tst_creditsupdater.moc"
