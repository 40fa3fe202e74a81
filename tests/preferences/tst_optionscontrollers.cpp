#include "OptionsControllers.h"
#include "QuibboService.h"
#include "ScriptedHttpServer.h"
#include "TestPlatform.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Answer = ScriptedHttpServer::Answer;

namespace {
struct Fixture
{
    explicit Fixture(const QUrl& secure)
        : options({buyCredits, email, password, save}, test.platform(),
                  ServiceEndpoints(secure, QUrl(QStringLiteral("http://site.test"))))
    {
        buyCredits.setEnabled(false);
        save.setEnabled(false);
        options.awakeFromNib();
    }

    void typeAndSave(const QString& address, const QString& secret)
    {
        email.clear();
        password.clear();
        QTest::keyClicks(&email, address);
        QTest::keyClicks(&password, secret);
        QVERIFY(save.isEnabled());
        QSignalSpy answered(&options, &OptionsControllers::verificationAnswered);
        save.click();
        QVERIFY(!save.isEnabled()); // while the exchange is out
        QVERIFY(answered.wait());
    }

    TestPlatform test;
    QLineEdit email;
    QLineEdit password;
    QPushButton save;
    QPushButton buyCredits;
    OptionsControllers options;
};
} // namespace

class TestOptionsControllers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void verifiedDetailsAreStoredOnceTheAlertIsDismissed()
    {
        QuibboService service;
        QVERIFY(service.listen());
        const auto c = service.addAccount(QStringLiteral("ann+1@example.test"),
                                          QStringLiteral("p&ss w+rd"), 5);
        Fixture f(service.secureBaseUrl());
        f.typeAndSave(QStringLiteral("ann+1@example.test"), QStringLiteral("p&ss w+rd"));

        QCOMPARE(f.test.alerts.shown.size(), 1);
        QCOMPARE(f.test.alerts.shown[0].style, Alerts::Style::Informational);
        QCOMPARE(f.test.alerts.shown[0].message, QStringLiteral("Account Verified"));
        QVERIFY(!f.test.settings.contains(QStringLiteral("accountDetails")));
        QVERIFY(!f.buyCredits.isEnabled());

        f.test.alerts.dismiss();
        QVERIFY(f.buyCredits.isEnabled());
        QVERIFY(!f.save.isEnabled());
        QCOMPARE(
            f.test.settings.dictionaryForKey(QStringLiteral("accountDetails")),
            (StringDictionary{{"emailAddress", "ann+1@example.test"}, {"password", "p&ss w+rd"}}));
        QCOMPARE(f.test.settings.dictionaryForKey(QStringLiteral("QuibboAPIConnectionParams")),
                 (StringDictionary{
                     {"CompanyId", c.companyId}, {"UserId", c.userId}, {"Password", c.password}}));
        QTest::keyClicks(&f.email, QStringLiteral("x"));
        QVERIFY(f.save.isEnabled());
    }

    // A refused account, or an answer that is no dictionary, stores nothing; Save stays ready.
    void failuresStoreNothing()
    {
        ScriptedHttpServer server(
            {Answer{401, {}}, Answer{200, {"<plist><array><string>x</string></array></plist>"}}});
        Fixture f(server.url());
        for (int attempt = 0; attempt < 2; ++attempt) {
            f.typeAndSave(QStringLiteral("ann@example.test"), QStringLiteral("secret"));
            QCOMPARE(f.test.alerts.shown.last().style, Alerts::Style::Warning);
            QCOMPARE(f.test.alerts.shown.last().message, QStringLiteral("Invalid Account Details"));
            f.test.alerts.dismiss();
            QVERIFY(!f.test.settings.contains(QStringLiteral("accountDetails")));
            QVERIFY(!f.test.settings.contains(QStringLiteral("QuibboAPIConnectionParams")));
            QVERIFY(!f.buyCredits.isEnabled());
            QVERIFY(f.save.isEnabled());
        }
    }

    // Edits left unsaved when the window closes are dropped; with no account stored both
    // fields are empty again, the password too (tst_windows closes it over a stored one).
    void unsavedEditsAreDroppedWhenNoAccountIsStored()
    {
        Fixture f(QUrl(QStringLiteral("http://127.0.0.1:9")));
        QTest::keyClicks(&f.email, QStringLiteral("typed@example.test"));
        QTest::keyClicks(&f.password, QStringLiteral("typed secret"));
        f.options.discardUnsavedEdits();
        QCOMPARE(f.email.text(), QString());
        QCOMPARE(f.password.text(), QString());
        QVERIFY(!f.save.isEnabled());
    }

    void anyDictionaryIsStoredWhole()
    {
        ScriptedHttpServer server(
            {Answer{200,
                    {"<plist><dict><key>Who</key><string>x</string><key>N</key><integer>7</integer>"
                     "<key>Nested</key><dict/></dict></plist>"},
                    false,
                    false},
             Answer{200, {"<plist><dict/></plist>"}}});
        Fixture f(server.url());
        f.email.setText(QString());
        QSignalSpy answered(&f.options, &OptionsControllers::verificationAnswered);
        f.options.verifyAndSaveAccountDetails();
        QVERIFY(answered.wait());
        f.test.alerts.dismiss();
        QCOMPARE(f.test.settings.dictionaryForKey(QStringLiteral("QuibboAPIConnectionParams")),
                 (StringDictionary{{"Who", "x"}, {"N", "7"}}));
        // Empty fields still ask, with empty values.
        QCOMPARE(
            server.targets.first(),
            QByteArray(
                "/quib/accountInformation?CompanyId=Unknown&UserId=&Password=&Action=company"));
    }

    void loadingAndBuyingCredits()
    {
        ScriptedHttpServer server;
        Fixture f(server.url());
        f.email.setText(QStringLiteral("as defined"));
        f.options.loadUserDefaultsIntoControls();
        QCOMPARE(f.email.text(), QStringLiteral("as defined")); // nothing stored: unchanged
        QVERIFY(!f.buyCredits.isEnabled());

        f.test.settings.setDictionary(
            QStringLiteral("accountDetails"),
            {{"emailAddress", "stored@example.test"}, {"password", "pw"}});
        f.options.loadUserDefaultsIntoControls();
        QCOMPARE(f.email.text(), QStringLiteral("stored@example.test"));
        QCOMPARE(f.password.text(), QStringLiteral("pw"));
        QCOMPARE(f.password.echoMode(), QLineEdit::Password);
        QVERIFY(f.buyCredits.isEnabled());
        QVERIFY(!f.save.isEnabled());

        f.email.setText(QStringLiteral("typed now+x@example.test"));
        f.buyCredits.click();
        QCOMPARE(f.test.urls.opened,
                 QList<QUrl>{QUrl::fromEncoded(
                     "http://site.test/getcredits.php?quibboacc=typed%20now%2Bx%40example.test")});
    }
};

QTEST_MAIN(TestOptionsControllers)
#include "tst_optionscontrollers.moc"
