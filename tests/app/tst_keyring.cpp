#include "AppHarness.h"
#include "Credentials.h"
#include "JsonFileSettingsStore.h"
#include "KeyringSettingsStore.h"
#include "MsgHistoryDataSource.h"
#include "PreferencesWindow.h"
#include "SetupAssistantPanel.h"
#include "ui_PreferencesWindow.h"

#include <QJsonDocument>
#include <QJsonObject>

// The account's passwords and the desktop's keyring. Run twice: with a keyring of the test's
// own (keyring-session.sh), where the passwords must leave the settings file, and with no
// session bus at all, where the client must go on working from the file.
class tst_Keyring : public QObject
{
    Q_OBJECT

    const bool keyring = qEnvironmentVariableIsSet("QUIBBO_TEST_KEYRING");
    QTemporaryDir home;
    QString path;

    const QString params = QStringLiteral("QuibboAPIConnectionParams");
    const QString details = QStringLiteral("accountDetails");
    const StringDictionary credentials{
        {"CompanyId", "C1"}, {"UserId", "U1"}, {"Password", "p&ss wörd"}};
    const StringDictionary account{{"emailAddress", "zoe@x.test"}, {"password", "hunter2"}};

    QJsonObject onDisk() const
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    // Waits until the keyring has taken the passwords, or refused them.
    bool settled(const KeyringSettingsStore& settings) const
    {
        return QTest::qWaitFor([&] {
            const QJsonObject stored = onDisk();
            return keyring
                       ? !stored.value(params).toObject().contains(QStringLiteral("Password")) &&
                             !stored.value(details).toObject().contains(QStringLiteral("password"))
                       : settings.passwordsKeptInFile();
        });
    }

    static bool passwordsRead(KeyringSettingsStore& settings)
    {
        bool read = false;
        QObject context;
        settings.whenPasswordsRead(&context, [&read] { read = true; });
        return QTest::qWaitFor([&read] { return read; });
    }

private Q_SLOTS:
    void init()
    {
        // A file of each test's own, and so a keyring entry of its own.
        path = home.filePath(QString::fromLatin1(QTest::currentTestFunction()) +
                             QString::fromLatin1(QTest::currentDataTag()) + "/settings.json");
    }

    void passwordsLeaveTheFileOnceTheKeyringHasThem_data()
    {
        QTest::addColumn<bool>("leftByAnOlderInstall");
        QTest::newRow("saved by this client") << false;
        QTest::newRow("left in the file by an older install") << true;
    }

    void passwordsLeaveTheFileOnceTheKeyringHasThem()
    {
        QFETCH(bool, leftByAnOlderInstall);
        JsonFileSettingsStore file(path);
        file.setString(QStringLiteral("senderID"), QStringLiteral("Zoe"));
        if (leftByAnOlderInstall) {
            file.setDictionary(params, credentials);
            file.setDictionary(details, account);
        }
        {
            KeyringSettingsStore settings(file, passwordEntries());
            if (!leftByAnOlderInstall) {
                settings.setDictionary(params, credentials);
                settings.setDictionary(details, account);
            }
            QCOMPARE(settings.dictionaryForKey(params), credentials);
            QVERIFY(settled(settings));
            QCOMPARE(settings.dictionaryForKey(params), credentials);
            QCOMPARE(settings.dictionaryForKey(details), account);
            QCOMPARE(settings.passwordsKeptInFile(), !keyring);
        }
        // Everything but the passwords stays in the file.
        const QJsonObject stored = onDisk();
        QCOMPARE(stored.value(params).toObject().keys(),
                 keyring ? QStringList({"CompanyId", "UserId"})
                         : QStringList({"CompanyId", "Password", "UserId"}));
        QCOMPARE(stored.value(details).toObject().contains(QStringLiteral("password")), !keyring);
        QCOMPARE(stored.value(QStringLiteral("senderID")).toString(), QStringLiteral("Zoe"));

        // The next start reads the same dictionaries back, and a password taken out stays out.
        StringDictionary withoutPassword = credentials;
        withoutPassword.remove(QStringLiteral("Password"));
        for (const StringDictionary& expected : {credentials, withoutPassword}) {
            JsonFileSettingsStore reopened(path);
            KeyringSettingsStore settings(reopened, passwordEntries());
            QVERIFY(passwordsRead(settings));
            QCOMPARE(settings.dictionaryForKey(params), expected);
            QCOMPARE(settings.dictionaryForKey(details), account);
            settings.setDictionary(params, withoutPassword);
        }
    }

    // A changed password stays in the file until the keyring has confirmed it: a quit before
    // then keeps the new one, never the old.
    void aChangedPasswordIsNeverLost()
    {
        JsonFileSettingsStore file(path);
        StringDictionary changed = credentials;
        changed.insert(QStringLiteral("Password"), QStringLiteral("new one"));
        {
            KeyringSettingsStore settings(file, passwordEntries());
            settings.setDictionary(params, credentials);
            QVERIFY(settled(settings));
            settings.setDictionary(params, changed);
            QCOMPARE(onDisk().value(params).toObject().value(QStringLiteral("Password")),
                     QStringLiteral("new one"));
            settings.waitForWrites(std::chrono::seconds(5));
            QVERIFY(settled(settings));
        }
        JsonFileSettingsStore reopened(path);
        KeyringSettingsStore settings(reopened, passwordEntries());
        QVERIFY(passwordsRead(settings));
        QCOMPARE(settings.dictionaryForKey(params), changed);
    }

    // The window is up and Send pressed before the keyring has answered: the send waits for
    // the password instead of going out without it, and the assistant stays away.
    void theFirstSendWaitsForTheKeyring()
    {
        AppHarness client;
        const QuibboService::Credentials c =
            client.service.addAccount(QStringLiteral("zoe@x.test"), QStringLiteral("hunter2"), 5);
        JsonFileSettingsStore file(path);
        {
            KeyringSettingsStore earlier(file, passwordEntries());
            earlier.setDictionary(params, AppHarness::stored(c));
            earlier.setDictionary(details, account);
            QVERIFY(settled(earlier));
        }
        KeyringSettingsStore settings(file, passwordEntries());
        client.test.settingsInUse = &settings;
        client.open();
        bool answered = false;
        QObject context;
        settings.whenPasswordsRead(&context, [&answered] { answered = true; });
        QVERIFY(!answered);

        QSignalSpy fetched(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
        client.ui().refreshButton->click();
        client.compose(QStringLiteral("See you at 8"), QStringLiteral("07700 900123"));
        client.send();
        QVERIFY(!fetched.isEmpty() || fetched.wait());
        QVERIFY(
            client.ui().lastRefreshedText->text().endsWith(QLatin1String("Contains 0 messages.")));
        QCOMPARE(client.ui().statusField->text(), QStringLiteral("Message sent at 03:07 PM."));
        QCOMPARE(client.service.account(QStringLiteral("zoe@x.test"))->messages.size(), 1);
        QVERIFY(!client.window->assistantPanel().isVisible());

        // The preferences show the password, and say where it is kept only when it is a file.
        client.ui().preferencesAction->trigger();
        auto* preferences = client.window->findChild<PreferencesWindow*>();
        QCOMPARE(preferences->ui().myPassword->text(), QStringLiteral("hunter2"));
        QCOMPARE(preferences->ui().passwordsInFileNote->isVisible(), !keyring);
    }
};

QTEST_MAIN(tst_Keyring)
#include "tst_keyring.moc"
