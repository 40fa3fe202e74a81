#include "NewSWVersionController.h"
#include "QuibboService.h"
#include "ScriptedHttpServer.h"
#include "TestPlatform.h"
#include "XmlPropertyList.h"

#include <QBuffer>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

using namespace std::chrono_literals;
using Answer = ScriptedHttpServer::Answer;

namespace {
struct Fixture
{
    explicit Fixture(const QUrl& secure)
        : download(&panel), notNow(&panel), viewer(&panel),
          check({download, notNow, viewer, panel}, test.platform(),
                ServiceEndpoints(secure, secure))
    {
        check.awakeFromNib();
    }
    // The check runs one second after load, once.
    void runCheck()
    {
        QSignalSpy finished(&check, &NewSWVersionController::checkFinished);
        test.time.advance(999ms);
        QCOMPARE(finished.size(), 0);
        test.time.advance(1ms);
        QVERIFY(finished.wait());
    }
    TestPlatform test;
    QWidget panel;
    QPushButton download;
    QPushButton notNow;
    QTextBrowser viewer;
    NewSWVersionController check;
};
} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void versions_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("announced");
        QTest::newRow("same version")
            << Answer{200, {xmlPropertyList({{"Version", "1.0.0"}})}} << false;
        QTest::newRow("newer") << Answer{200, {xmlPropertyList({{"Version", "1.0.1"}})}} << true;
        QTest::newRow("trailing blank")
            << Answer{200, {xmlPropertyList({{"Version", "1.0.0 "}})}} << true;
        QTest::newRow("no Version") << Answer{200, {xmlPropertyList({{"Other", "x"}})}} << true;
        QTest::newRow("not found") << Answer{404, {xmlPropertyList({{"Version", "2.0"}})}} << false;
        QTest::newRow("plain text") << Answer{200, {"Version: 2.0"}} << false;
    }

    void versions()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, announced);
        ScriptedHttpServer server({answer});
        Fixture f(server.url());
        f.runCheck();
        QCOMPARE(f.panel.isVisible(), announced);
        QCOMPARE(server.targets, QList<QByteArray>{"/quib/quibbo-mac-10-3.txt"});
        f.test.time.advance(1h);
        QCOMPARE(server.targets.size(), 1); // once per start
        f.notNow.click();
        QVERIFY(!f.panel.isVisible());
    }

    void announcementShowsTheReleasePageAndOffersTheDownload()
    {
        QuibboService service;
        QVERIFY(service.listen());
        service.setOfferedVersion(QStringLiteral("1.1.0"));
        Fixture f(service.secureBaseUrl());
        QSignalSpy page(&f.check, &NewSWVersionController::releasePageShown);
        f.runCheck();
        QVERIFY(f.panel.isVisible());
        QVERIFY(page.wait());
        QVERIFY(f.viewer.toPlainText().contains(QLatin1String("Quibbo 1.1.0")));
        QCOMPARE(f.panel.focusWidget(), &f.download);

        f.download.click();
        QVERIFY(!f.download.isEnabled());
        QVERIFY(!f.notNow.isEnabled());
        QCOMPARE(f.test.alerts.shown.size(), 1);
        QCOMPARE(f.test.alerts.shown[0].message, QStringLiteral("Before Installing..."));
        QVERIFY(f.test.urls.opened.isEmpty());
        f.test.alerts.dismiss();
        QCOMPARE(f.test.urls.opened, QList<QUrl>{service.publicBaseUrl().resolved(
                                         QUrl(QStringLiteral("/download/quibbo-1.1.0.tar.gz")))});
        QVERIFY(f.panel.isVisible()); // it stays until the user closes it
    }

    void withoutAddressesTheWindowStillShowsAndDownloadOpensNothing()
    {
        ScriptedHttpServer server(
            {Answer{200,
                    {"<plist><dict><key>Version</key><string>2.0</string>"
                     "<key>InfoURL</key><string>file:///etc/passwd</string></dict></plist>"}}});
        Fixture f(server.url());
        f.runCheck();
        QVERIFY(f.panel.isVisible());
        QVERIFY(f.viewer.toPlainText().isEmpty()); // only http and https pages are fetched
        f.download.click();
        f.test.alerts.dismiss();
        QVERIFY(f.test.urls.opened.isEmpty());
        QCOMPARE(f.test.alerts.shown.last().message, QStringLiteral("No download address"));
    }

    // The release page reads nothing local (a file:///dev/zero image once ate all memory);
    // images on the web come through the network layer.
    void releasePageFetchesOnlyWebImages()
    {
        ScriptedHttpServer server;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(4, 4, QImage::Format_RGB32).save(&buffer, "PNG");
        // An image may take all of its 2 MiB (padded after its end, as some files are).
        png += QByteArray(2 * 1024 * 1024 - png.size(), '\0');
        server.script({Answer{200,
                              {"<plist><dict><key>Version</key><string>2.0</string><key>InfoURL"
                               "</key><string>" +
                               server.url().toEncoded() + "/notes.html</string></dict></plist>"}},
                       Answer{200,
                              {"<p>New</p><img src=\"file:///dev/zero\"><img src=\"/etc/passwd\">"
                               "<img src=\"logo.png\">"}},
                       Answer{404, {}}, Answer{200, {png}}});
        Fixture f(server.url());
        QSignalSpy shown(&f.check, &NewSWVersionController::releasePageShown);
        f.runCheck();
        QVERIFY(shown.wait());
        f.viewer.resize(300, 300);
        f.viewer.show();
        // A relative address is on the page's server, never a local file.
        QTRY_VERIFY(server.targets.contains("/logo.png"));
        QVERIFY(server.targets.contains("/etc/passwd"));
        QTRY_VERIFY(f.viewer.document()
                        ->resource(QTextDocument::ImageResource, QUrl("logo.png"))
                        .isValid());
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
