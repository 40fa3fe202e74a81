#include "ConnectProxy.h"
#include "CurlReply.h"
#include "NetworkAccess.h"
#include "QuibboService.h"
#include "ScriptedHttpServer.h"
#include "TestFiles.h"

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
        QTest::newRow("ended by a close, without a length")
            << Answer{.raw = raw("200 OK", "1234")} << std::optional(200) << true;
        QTest::newRow("after an interim 103")
            << Answer{.raw = raw("103 Early Hints\r\nLink: </a>") +
                             raw("200 OK\r\nContent-Length: 4", "1234")}
            << std::optional(200) << true;
        // Each head is held to the head limit, not all of them together; 10,000 interim heads
        // are the most taken.
        QTest::newRow("after ten thousand interim 100s")
            << Answer{.raw = raw("100 Continue").repeated(10'000) +
                             raw("200 OK\r\nContent-Length: 4", "1234")}
            << std::optional(200) << true;
        QTest::newRow("interim heads without end")
            << Answer{.raw = raw("102 Processing").repeated(10'001) +
                             raw("200 OK\r\nContent-Length: 4", "1234")}
            << std::optional<int>() << false;
        QTest::newRow("error status") << Answer{500, {"oops"}} << std::optional(500) << false;
        QTest::newRow("reset part-way, without a length")
            << Answer{.raw = raw("200 OK", "12"), .reset = true} << std::optional(200) << false;
        QTest::newRow("two different lengths")
            << Answer{.raw = raw("200 OK\r\nContent-Length: 1000\r\nContent-Length: 4", "1234")}
            << std::optional<int>() << false;
        // A length that is not a plain decimal number is no length: read as one, an empty or a
        // cut body would count as the whole answer.
        for (const char* length :
             {"0x10000", "99999999999999999999", "+4", "-4", "4.0", "4 abc", ""})
            QTest::addRow("a length of \"%s\"", length)
                << Answer{.raw = raw("200 OK\r\nContent-Length: " + QByteArray(length), "1234")}
                << std::optional<int>() << false;
        // A head's names and its codings' names are read in any letter case.
        for (const char* name : {"content-length", "CONTENT-LENGTH", "Content-length"})
            QTest::addRow("a body cut short of its %s", name)
                << Answer{.raw = raw("200 OK\r\n" + QByteArray(name) + ": 10", "1234")}
                << std::optional(200) << false;
        for (const char* field : {"transfer-encoding: chunked", "TRANSFER-ENCODING: CHUNKED",
                                  "Transfer-Encoding: Chunked"})
            QTest::addRow("%s", field)
                << Answer{.raw = raw("200 OK\r\n" + QByteArray(field), "4\r\n1234\r\n0\r\n\r\n")}
                << std::optional(200) << true;
        for (const auto& [field, plain] : {std::pair{"content-encoding: GZIP", false},
                                           {"CONTENT-ENCODING: gzip", false},
                                           {"Content-Encoding: Identity", true},
                                           {"content-encoding: IDENTITY", true}})
            QTest::addRow("%s", field)
                << Answer{.raw = raw("200 OK\r\n" + QByteArray(field) + "\r\nContent-Length: 4",
                                     "1234")}
                << std::optional(200) << plain;
        QTest::newRow("chunked after another coding")
            << Answer{.raw = raw("200 OK\r\nTransfer-Encoding: gzip, chunked",
                                 "4\r\n1234\r\n0\r\n\r\n")}
            << std::optional<int>() << false;
        QTest::newRow("a coding that merely contains chunked")
            << Answer{.raw = raw("200 OK\r\nTransfer-Encoding: xchunked", "4\r\n1234\r\n0\r\n\r\n")}
            << std::optional<int>() << false;
        QTest::newRow("a chunk without its line end")
            << Answer{.raw = raw("200 OK\r\nTransfer-Encoding: chunked", "4\r\n1234XX0\r\n\r\n")}
            << std::optional(200) << false;
        QTest::newRow("a folded head line")
            << Answer{.raw = raw("200 OK\r\nX-A: a\r\n b\r\nContent-Length: 4", "1234")}
            << std::optional<int>() << false;
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
        QTest::newRow("silent past the idle time-out")
            << Answer{.held = true} << std::optional<int>() << false;
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
        // Only the rows about time running out meet a short one; the others never race it.
        const bool timed = QByteArray(QTest::currentDataTag()).contains(" past the ");
        NetworkAccess network(timed ? 300ms : NetworkAccess::defaultTimeout);
        const std::unique_ptr<CurlReply> reply(network.get(server.url(), 4096));
        QSignalSpy finished(reply.get(), &CurlReply::finished);
        QVERIFY(finished.wait());
        QCOMPARE(reply->status(), status);
        QCOMPARE(NetworkAccess::succeeded(*reply), succeeded);
        QCOMPARE(reply->exceededLimit(), QByteArray(QTest::currentDataTag()).startsWith("larger"));
        if (succeeded)
            QCOMPARE(reply->readAll(), QByteArray("1234")); // every row that succeeds sends 1234
    }

    // A streamed answer is read as it comes: the first piece is there while the rest is still
    // on its way (the history's first rows show before the last have come).
    void aStreamIsReadAsItComes()
    {
        // Each piece leaves a pause after the one before (the first a pause after the head).
        ScriptedHttpServer server({Answer{200, {"12", "34"}, false, false, 2s}});
        NetworkAccess network;
        const std::unique_ptr<CurlReply> reply(network.getStream(server.url(), 4096));
        QSignalSpy readyRead(reply.get(), &CurlReply::readyRead);
        QVERIFY(readyRead.wait(10'000));
        QCOMPARE(reply->bytesAvailable(), 2);
        QCOMPARE(reply->readAll(), QByteArray("12"));
        QVERIFY(!reply->isFinished());
    }

    // The send's post: one request whatever the connection does, judged by its status line
    // alone (444, the lack of credit, is a status like any other).
    void postIsSentOnceAndJudgedByItsStatus_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<std::optional<int>>("status");
        QTest::newRow("444") << Answer{444, {}} << std::optional(444);
        QTest::newRow("100, then 200")
            << Answer{.raw = raw("100 Continue") + raw("200 OK\r\nContent-Length: 0")}
            << std::optional(200);
        QTest::newRow("200's status line, then dropped")
            << Answer{.raw = QByteArray("HTTP/1.1 200 OK\r\n")} << std::optional(200);
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
        const std::unique_ptr<CurlReply> reply(
            network.postOnce(refused ? refusingUrl() : server.url(), "text/plain", "body"));
        QSignalSpy finished(reply.get(), &CurlReply::finished);
        QVERIFY(finished.wait());
        QCOMPARE(reply->status(), status);
        QCOMPARE(server.targets.size(), refused ? 0 : 1);
    }

    // The send's post leaves on a connection of its own and at once: never on one an earlier
    // exchange left open (libcurl posts again on a reused connection that died), and never
    // asking leave to send a long body first (a 417 to that makes libcurl post again).
    void postLeavesOnItsOwnConnectionAtOnce()
    {
        ScriptedHttpServer server(
            {Answer{.status = 200, .chunks = {"1234"}, .keepAlive = true}, Answer{417, {}}});
        NetworkAccess network;
        const std::unique_ptr<CurlReply> balance(network.get(server.url()));
        QSignalSpy fetched(balance.get(), &CurlReply::finished);
        QVERIFY(fetched.wait());
        const QByteArray body(2 << 20, 'x');
        const std::unique_ptr<CurlReply> post(
            network.postOnce(server.url(), "application/x-www-form-urlencoded", body));
        QSignalSpy posted(post.get(), &CurlReply::finished);
        QVERIFY(posted.wait());
        QCOMPARE(post->status(), std::optional(417));
        QCOMPARE(server.connections, (QList<int>{0, 1}));
        QVERIFY(!server.heads.at(1).contains("expect:"));
        QCOMPARE(server.bodies.at(1).size(), body.size());
    }

    // How the send's post reaches the service over TLS: through the proxy the environment
    // names as the desktop's other programs read it (the scheme's own variable or all_proxy, in
    // either case, with its credentials, and no_proxy's exceptions), and never to a host whose
    // certificate, though from a trusted authority, names another.
    void reachingTheService_data()
    {
        QTest::addColumn<QString>("certificate");        // none: plain http
        QTest::addColumn<QByteArrayList>("environment"); // name=value; PROXY stands for the proxy
        QTest::addColumn<bool>("proxied");
        QTest::addColumn<QByteArray>("authorization");
        const QByteArray none;
        const QString loopback = QStringLiteral("loopback");
        QTest::newRow("https_proxy")
            << loopback << QByteArrayList{"https_proxy=PROXY"} << true << none;
        QTest::newRow("HTTPS_PROXY")
            << loopback << QByteArrayList{"HTTPS_PROXY=PROXY"} << true << none;
        QTest::newRow("all_proxy") << loopback << QByteArrayList{"all_proxy=PROXY"} << true << none;
        QTest::newRow("HTTP_PROXY, for http")
            << QString() << QByteArrayList{"HTTP_PROXY=PROXY"} << true << none;
        QTest::newRow("http_proxy is not for https")
            << loopback << QByteArrayList{"http_proxy=PROXY"} << false << none;
        QTest::newRow("no_proxy names the host")
            << loopback << QByteArrayList{"https_proxy=PROXY", "NO_PROXY=localhost,127.0.0.1"}
            << false << none;
        QTest::newRow("credentials in the URL")
            << loopback << QByteArrayList{"https_proxy=PROXY"} << true
            << "Basic " + QByteArray("ann:s@cret").toBase64();
        QTest::newRow("a certificate for another host")
            << QStringLiteral("other-name") << QByteArrayList() << false << none;
    }

    void reachingTheService()
    {
        QFETCH(QString, certificate);
        QFETCH(QByteArrayList, environment);
        QFETCH(bool, proxied);
        QFETCH(QByteArray, authorization);
        const QString data = QStringLiteral(QUIBBO_TEST_DATA "/");
        QuibboService service;
        QVERIFY(service.listen(QHostAddress::LocalHost, 0,
                               certificate.isEmpty()
                                   ? std::nullopt
                                   : QuibboService::loadTls(data + certificate + ".pem",
                                                            data + certificate + ".key")));
        ConnectProxy proxy;
        const QByteArray proxyUrl =
            proxy.url(authorization.isEmpty() ? QString() : QStringLiteral("ann:s%40cret"))
                .toEncoded();
        // Set for this row alone, whichever way it ends.
        struct Variables
        {
            QByteArrayList names;
            ~Variables()
            {
                for (const QByteArray& name : names)
                    qunsetenv(name.constData());
            }
        } set;
        for (const QByteArray& variable : environment) {
            const QList<QByteArray> parts = variable.split('=');
            set.names.append(parts[0]);
            qputenv(parts[0].constData(), QByteArray(parts[1]).replace("PROXY", proxyUrl));
        }
        NetworkAccess network(2s);
        network.setCertificateAuthorities(readFile(
            data +
            (certificate == QLatin1String("other-name") ? certificate : QStringLiteral("test-ca")) +
            ".pem"));
        const std::unique_ptr<CurlReply> reply(network.postOnce(
            service.secureBaseUrl().resolved(QUrl(QStringLiteral("/quib/sendMessage"))),
            "text/plain", "body"));
        QSignalSpy finished(reply.get(), &CurlReply::finished);
        QVERIFY(finished.wait());
        const bool reached = certificate != QLatin1String("other-name");
        // "body" is no message, and the service says so.
        QCOMPARE(reply->status(), reached ? std::optional(400) : std::nullopt);
        QCOMPARE(service.sendBodies().size(), reached ? 1 : 0);
        QCOMPARE(proxy.targets.size(), proxied ? 1 : 0);
        if (proxied)
            QCOMPARE(proxy.authorizations.first(), authorization);
    }
};

QTEST_GUILESS_MAIN(TestNetworkAccess)
#include "tst_networkaccess.moc"
