#include "CreditsUpdater.h"
#include "ScriptedHttpServer.h"
#include "TestPlatform.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;
using Answer = ScriptedHttpServer::Answer;
Q_DECLARE_METATYPE(ScriptedHttpServer::Answer)

class TestCreditsUpdater : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QUrl& secure, std::chrono::milliseconds timeout = 60s)
            : test(timeout), credits(test.platform(), ServiceEndpoints(secure, secure))
        {
            display.setText(QStringLiteral("–"));
            credits.creditsDisplay = &display;
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
    void answers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QString>("shown");

        QTest::newRow("plain number") << 200 << QList<QByteArray>{"1234"} << "1234";
        QTest::newRow("white space and a word") << 200 << QList<QByteArray>{"  42 credits"} << "42";
        QTest::newRow("negative") << 200 << QList<QByteArray>{"-5"} << "-5";
        QTest::newRow("letters only") << 200 << QList<QByteArray>{"none left"} << "0";
        QTest::newRow("not UTF-8") << 200 << QList<QByteArray>{"12\xff\xfe"} << "0";
        QTest::newRow("split across writes") << 200 << QList<QByteArray>{"12", "34"} << "1234";
        QTest::newRow("beyond 32 bits") << 200 << QList<QByteArray>{"99999999999"} << "2147483647";
        QTest::newRow("below 32 bits") << 200 << QList<QByteArray>{"-99999999999"} << "-2147483648";
        QTest::newRow("no body") << 200 << QList<QByteArray>{} << "–";
        QTest::newRow("error page") << 500 << QList<QByteArray>{"<html>Error 99</html>"} << "–";
        QTest::newRow("unknown account") << 401 << QList<QByteArray>{} << "–";
    }

    void answers()
    {
        QFETCH(int, status);
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QString, shown);

        ScriptedHttpServer server;
        server.script({Answer{status, chunks}});
        Fixture f(server.url());
        f.refresh();
        QCOMPARE(f.display.text(), shown);
    }

    // An answer that does not arrive whole is no answer: the balance keeps its text.
    void brokenAnswersShowNoFigure_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("reset after 123 of 1234") << Answer{200, {"123"}, false, true};
        QTest::newRow("larger than the cap") << Answer{200, {QByteArray(200'000, '7')}};
        QTest::newRow("compressed though not asked to be")
            << Answer{200,
                      {},
                      false,
                      false,
                      0ms,
                      QByteArray("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n"
                                 "Content-Length: 4\r\n\r\n1234")};
        QTest::newRow("a head that never ends")
            << Answer{200,   {},  false,
                      false, 0ms, "HTTP/1.1 200 OK\r\nX-Endless: " + QByteArray(300'000, 'h')};
        QTest::newRow("not HTTP") << Answer{200, {}, false, false, 0ms, QByteArray("1234\r\n\r\n")};
        QTest::newRow("trickling past the deadline")
            << Answer{200, QList<QByteArray>(100, "1"), false, false, 50ms};
    }

    void brokenAnswersShowNoFigure()
    {
        QFETCH(Answer, answer);
        ScriptedHttpServer server;
        server.script({answer});
        Fixture f(server.url(), 300ms);
        f.refresh();
        QCOMPARE(f.display.text(), QStringLiteral("–"));
    }

    void chunkedAnswerIsRead()
    {
        ScriptedHttpServer server;
        server.script({Answer{200,
                              {},
                              false,
                              false,
                              0ms,
                              QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                         "2\r\n12\r\n2;x=y\r\n34\r\n0\r\n\r\n")}});
        Fixture f(server.url());
        f.refresh();
        QCOMPARE(f.display.text(), QStringLiteral("1234"));
    }

    void requestCarriesTheCredentialsEscaped()
    {
        ScriptedHttpServer server;
        server.script({Answer{200, {"7"}}, Answer{200, {"8"}}});
        Fixture f(server.url());
        f.refresh();
        f.test.settings.setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                                      {{QStringLiteral("CompanyId"), QStringLiteral("C 1")},
                                       {QStringLiteral("UserId"), QStringLiteral("u&x=1")},
                                       {QStringLiteral("Password"), QStringLiteral("p+w")}});
        f.refresh();
        QCOMPARE(
            server.targets,
            (QList<QByteArray>{
                "/quib/"
                "accountInformation?CompanyId=(null)&UserId=(null)&Password=(null)&Action=credits",
                "/quib/"
                "accountInformation?CompanyId=C%201&UserId=u%26x%3D1&Password=p%2Bw&Action="
                "credits"}));
    }

    void refusedConnectionChangesNothing()
    {
        const QUrl url = refusingUrl();
        Fixture f(url);
        f.display.setText(QStringLiteral("250"));
        f.refresh();
        QCOMPARE(f.display.text(), QStringLiteral("250"));
    }

    void onlyTheLatestRequestIsShown()
    {
        ScriptedHttpServer server;
        server.script({Answer{200, {"111"}, true}, Answer{200, {"222"}}});
        Fixture f(server.url());
        QSignalSpy finished(&f.credits, &CreditsUpdater::exchangeFinished);
        f.credits.updateCredits();
        QTRY_COMPARE(server.targets.size(), 1);
        f.credits.updateCredits();
        QVERIFY(finished.wait());
        server.release(0);
        QCOMPARE(f.display.text(), QStringLiteral("222"));
        QCOMPARE(finished.size(), 1);
    }

    void firstRefreshComesFifteenSecondsAfterLoad()
    {
        ScriptedHttpServer server;
        server.script({Answer{200, {"15"}}});
        Fixture f(server.url());
        QSignalSpy finished(&f.credits, &CreditsUpdater::exchangeFinished);
        f.test.time.advance(14999ms);
        QCOMPARE(server.targets.size(), 0);
        f.test.time.advance(1ms);
        QVERIFY(finished.wait());
        QCOMPARE(f.display.text(), QStringLiteral("15"));
    }
};

QTEST_MAIN(TestCreditsUpdater)
#include "tst_creditsupdater.moc"
