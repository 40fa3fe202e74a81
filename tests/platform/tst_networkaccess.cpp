#include "NetworkAccess.h"
#include "ScriptedHttpServer.h"

#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;
using Answer = ScriptedHttpServer::Answer;

namespace {
QByteArray raw(const QByteArray& head, const QByteArray& body = {})
{
    return "HTTP/1.1 " + head + "\r\n\r\n" + body;
}
} // namespace

// The one network seam every exchange goes through, against a real server on loopback: an
// answer counts only when it arrived whole, within its cap and its deadline.
class TestNetworkAccess : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<std::optional<int>>("status");
        QTest::addColumn<bool>("succeeded");

        QTest::newRow("in several writes")
            << Answer{200, {"12", "34"}} << std::optional(200) << true;
        QTest::newRow("chunked") << Answer{.raw = raw("200 OK\r\nTransfer-Encoding: chunked",
                                                      "2\r\n12\r\n2;x="
                                                      "y\r\n34\r\n0\r\n\r\n")}
                                 << std::optional(200) << true;
        QTest::newRow("error status") << Answer{500, {"oops"}} << std::optional(500) << false;
        QTest::newRow("reset after 3 of 4 bytes")
            << Answer{200, {"123"}, false, true} << std::optional(200) << false;
        QTest::newRow("larger than the cap")
            << Answer{200, {QByteArray(5000, '7')}} << std::optional(200) << false;
        QTest::newRow("compressed though not asked to be")
            << Answer{.raw = raw("200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 4", "1234")}
            << std::optional(200) << false;
        QTest::newRow("a head that never ends")
            << Answer{.raw = "HTTP/1.1 200 OK\r\nX-Endless: " + QByteArray(300'000, 'h')}
            << std::optional<int>() << false;
        QTest::newRow("not HTTP") << Answer{.raw = QByteArray("1234\r\n\r\n")}
                                  << std::optional<int>() << false;
        QTest::newRow("trickling past the deadline")
            << Answer{200, QList<QByteArray>(100, "1"), false, false, 50ms} << std::optional(200)
            << false;
    }

    void answers()
    {
        QFETCH(Answer, answer);
        QFETCH(std::optional<int>, status);
        QFETCH(bool, succeeded);
        ScriptedHttpServer server({answer});
        NetworkAccess network(300ms);
        const std::unique_ptr<QNetworkReply> reply(network.get(server.url(), 4096));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait());
        QCOMPARE(NetworkAccess::httpStatus(*reply), status);
        QCOMPARE(NetworkAccess::succeeded(*reply), succeeded);
        QCOMPARE(NetworkAccess::exceededLimit(*reply),
                 QByteArray(QTest::currentDataTag()).startsWith("larger"));
        if (succeeded)
            QCOMPARE(reply->readAll(), QByteArray("1234")); // every row that succeeds sends 1234
    }

    // The send's post: one request whatever the connection does, judged by its status line
    // alone (444, the lack of credit, is a status like any other).
    void postIsSentOnceAndJudgedByItsStatus_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<std::optional<int>>("status");
        QTest::newRow("444") << Answer{444, {}} << std::optional(444);
        QTest::newRow("200, then a cut body")
            << Answer{200, {"O"}, false, true} << std::optional(200);
        QTest::newRow("dropped before the status line")
            << Answer{.raw = QByteArray()} << std::optional<int>();
        QTest::newRow("refused") << Answer{} << std::optional<int>();
    }

    void postIsSentOnceAndJudgedByItsStatus()
    {
        QFETCH(Answer, answer);
        QFETCH(std::optional<int>, status);
        ScriptedHttpServer server({answer, answer});
        const bool refused = QByteArray(QTest::currentDataTag()) == "refused";
        NetworkAccess network;
        const std::unique_ptr<QNetworkReply> reply(
            network.postOnce(refused ? refusingUrl() : server.url(), "text/plain", "body"));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait());
        QCOMPARE(NetworkAccess::httpStatus(*reply), status);
        QCOMPARE(server.targets.size(), refused ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestNetworkAccess)
#include "tst_networkaccess.moc"
