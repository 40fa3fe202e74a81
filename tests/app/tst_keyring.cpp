#include "AppHarness.h"
#include "JsonFileSettingsStore.h"
#include "KeyringSettingsStore.h"
#include "KeyringThread.h"
#include "MsgHistoryDataSource.h"
#include "NotificationServer.h"
#include "PreferencesWindow.h"
#include "Settings.h"
#include "SetupAssistantPanel.h"
#include "TestFiles.h"
#include "ui_PreferencesWindow.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTimer>

#include <qt6keychain/keychain.h>

using namespace std::chrono_literals;

// The account's passwords and the desktop's keyring. Run twice: with a keyring of the test's
// own (keyring-session.sh), where the passwords must leave the settings file, and with no
// session bus at all, where the client must go on working from the file.
class tst_Keyring : public QObject
{
    Q_OBJECT

    const bool keyring = qEnvironmentVariableIsSet("QUIBBO_TEST_KEYRING");
    KeyringThread keyringThread{QDBusConnection::sessionBus()};
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
            // The file is written in the background: one not written yet says nothing.
            return keyring
                       ? stored.contains(params) &&
                             !stored.value(params).toObject().contains(
                                 QStringLiteral("Password")) &&
                             !stored.value(details).toObject().contains(QStringLiteral("password"))
                       : settings.passwordsKeptInFile();
        });
    }

    // The login collection locked, as after a screen lock or a keyring that was never unlocked.
    // (Plain calls: an introspected interface would keep its description for good.)
    static bool lockKeyring()
    {
        const auto call = [](const QString& method, const QVariant& argument) {
            QDBusMessage message = QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.secrets"),
                QStringLiteral("/org/freedesktop/secrets"),
                QStringLiteral("org.freedesktop.Secret.Service"), method);
            message << argument;
            return QDBusConnection::sessionBus().call(message);
        };
        const QDBusReply<QDBusObjectPath> collection =
            call(QStringLiteral("ReadAlias"), QStringLiteral("default"));
        return collection.isValid() &&
               call(QStringLiteral("Lock"),
                    QVariant::fromValue(QList<QDBusObjectPath>{collection.value()}))
                       .type() == QDBusMessage::ReplyMessage;
    }

    // The user logs in again: the keyring daemon is replaced by one that unlocked the login
    // collection with the password.
    static bool unlockKeyring()
    {
        const QString name = QStringLiteral("org.freedesktop.secrets");
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        const QString before = bus->serviceOwner(name);
        QProcess daemon;
        daemon.start(QStringLiteral("gnome-keyring-daemon"),
                     {"--replace", "--unlock", "--components=secrets"});
        daemon.write("test-keyring");
        daemon.closeWriteChannel();
        return daemon.waitForFinished(10'000) && QTest::qWaitFor([&] {
                   const QString owner = bus->serviceOwner(name);
                   return !owner.isEmpty() && owner != before;
               });
    }

    static bool assistantShown(AppHarness& client)
    {
        const auto* panel = client.window->findChild<SetupAssistantPanel*>();
        return panel && panel->isVisible();
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
            KeyringSettingsStore settings(file, Settings::passwordEntries(), keyringThread,
                                          QDBusConnection::sessionBus());
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
        file.wait();
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
            KeyringSettingsStore settings(reopened, Settings::passwordEntries(), keyringThread,
                                          QDBusConnection::sessionBus());
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
            KeyringSettingsStore settings(file, Settings::passwordEntries(), keyringThread,
                                          QDBusConnection::sessionBus());
            settings.setDictionary(params, credentials);
            QVERIFY(settled(settings));
            settings.setDictionary(params, changed);
            file.wait();
            QCOMPARE(onDisk().value(params).toObject().value(QStringLiteral("Password")),
                     QStringLiteral("new one"));
            settings.waitForWrites(std::chrono::seconds(5));
            QVERIFY(settled(settings));
        }
        JsonFileSettingsStore reopened(path);
        KeyringSettingsStore settings(reopened, Settings::passwordEntries(), keyringThread,
                                      QDBusConnection::sessionBus());
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
            KeyringSettingsStore earlier(file, Settings::passwordEntries(), keyringThread,
                                         QDBusConnection::sessionBus());
            earlier.setDictionary(params, AppHarness::stored(c));
            earlier.setDictionary(details, account);
            QVERIFY(settled(earlier));
        }
        // A keyring slow to answer: its thread is held until the test lets it go.
        QSemaphore slow;
        keyringThread.run(
            [&slow]() -> QKeychain::Job* {
                const QSemaphoreReleaser released(slow, 1); // let go again for a second try
                slow.acquire();
                return new QKeychain::DeletePasswordJob(QStringLiteral("nothing"));
            },
            [](const KeyringThread::Answer&) {});
        KeyringSettingsStore settings(file, Settings::passwordEntries(), keyringThread,
                                      QDBusConnection::sessionBus());
        client.test.settingsInUse = &settings;
        client.open();
        bool answered = false;
        QObject context;
        settings.whenPasswordsRead(&context, [&answered] { answered = true; });
        QVERIFY(!answered);

        QSignalSpy fetched(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
        client.ui().refreshButton->click();
        client.compose(QStringLiteral("See you at 8"), QStringLiteral("07700 900123"));
        QVERIFY(!assistantShown(client));
        // Sent two minutes after the press: the status gives the time Send was pressed.
        QSignalSpy finished(&client.window->sender(), &SendSMSPushed::attemptFinished);
        client.ui().sendSMSButton->click();
        client.test.time.advance(std::chrono::minutes(2));
        slow.release();
        QVERIFY(!finished.isEmpty() || finished.wait(10'000));
        QVERIFY(!fetched.isEmpty() || fetched.wait());
        QVERIFY(
            client.ui().lastRefreshedText->text().endsWith(QLatin1String("Contains 0 messages.")));
        QCOMPARE(client.ui().statusField->text(), QStringLiteral("Message sent at 03:07 PM."));
        QCOMPARE(client.service.account(QStringLiteral("zoe@x.test"))->messages.size(), 1);
        QVERIFY(!assistantShown(client));

        // The preferences show the password, and say where it is kept only when it is a file.
        client.ui().preferencesAction->trigger();
        auto* preferences = client.window->findChild<PreferencesWindow*>();
        QCOMPARE(preferences->ui().myPassword->text(), QStringLiteral("hunter2"));
        QCOMPARE(preferences->ui().passwordsInFileNote->isVisible(), !keyring);
    }

    // The keyring holds the passwords but will not hand them out: locked, with its unlock prompt
    // dismissed (no prompt can be shown here, which the keyring takes as dismissed), or gone from
    // the bus. The account stays configured and untouched, the window says why nothing can be
    // sent, a send asks again and fails plainly, and once the keyring is unlocked the next send
    // goes out.
    void aKeyringThatWithholdsThePasswordsKeepsTheAccount()
    {
        AppHarness client;
        const QuibboService::Credentials c =
            client.service.addAccount(QStringLiteral("zoe@x.test"), QStringLiteral("hunter2"), 5);
        JsonFileSettingsStore file(path, &client.test.storage);
        if (keyring) {
            KeyringSettingsStore earlier(file, Settings::passwordEntries(), keyringThread,
                                         QDBusConnection::sessionBus());
            earlier.setDictionary(params, AppHarness::stored(c));
            earlier.setDictionary(details, account);
            QVERIFY(settled(earlier));
            QVERIFY(lockKeyring());
        } else {
            // As a keyring that has since gone left them.
            StringDictionary withoutPassword = AppHarness::stored(c);
            withoutPassword.remove(QStringLiteral("Password"));
            file.setDictionary(params, withoutPassword);
            file.setDictionary(details, {{"emailAddress", "zoe@x.test"}});
        }
        file.wait();
        const QByteArray stored = readFile(path);
        // The next test finds the keyring unlocked, whatever this one finds.
        const auto unlocked = qScopeGuard([this] {
            if (keyring)
                unlockKeyring();
        });

        KeyringSettingsStore settings(file, Settings::passwordEntries(), keyringThread,
                                      QDBusConnection::sessionBus(), &client.test.storage);
        client.test.settingsInUse = &settings;
        client.open();
        QVERIFY(passwordsRead(settings));
        QVERIFY(!assistantShown(client));
        QVERIFY(client.ui().storageNotice->isVisibleTo(client.window.get()));
        // What is true: a locked keyring, or one whose service no longer answers at all.
        const QString why = keyring ? QStringLiteral("keyring is locked")
                                    : QStringLiteral("keyring does not answer");
        QVERIFY2(client.ui().storageNotice->text().contains(why),
                 qPrintable(client.ui().storageNotice->text()));

        client.compose(QStringLiteral("See you at 8"), QStringLiteral("07700 900123"));
        client.send();
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Message failed at 03:07 PM. Your %1, so your password cannot be "
                                "read.")
                     .arg(why));
        QCOMPARE(client.ui().messageField->toPlainText(), QStringLiteral("See you at 8"));
        QCOMPARE(client.service.account(QStringLiteral("zoe@x.test"))->messages.size(), 0);
        file.wait();
        QCOMPARE(readFile(path), stored);
        if (!keyring)
            return;

        QVERIFY(unlockKeyring());
        QVERIFY(client.ui().storageNotice->isVisibleTo(client.window.get()));
        client.send();
        QCOMPARE(client.ui().statusField->text(), QStringLiteral("Message sent at 03:07 PM."));
        QCOMPARE(client.service.account(QStringLiteral("zoe@x.test"))->messages.size(), 1);
        QVERIFY(!client.ui().storageNotice->isVisibleTo(client.window.get()));
    }

    // An entry removed from an unlocked keyring (by hand, in the desktop's password manager) is
    // not withheld: the keyring is asked whether it is locked, and it is not.
    void anEntryGoneFromAnUnlockedKeyringIsNotWithheld()
    {
        if (!keyring)
            QSKIP("needs a keyring");
        JsonFileSettingsStore file(path);
        {
            KeyringSettingsStore earlier(file, Settings::passwordEntries(), keyringThread,
                                         QDBusConnection::sessionBus());
            earlier.setDictionary(params, credentials);
            QVERIFY(settled(earlier));
        }
        QKeychain::DeletePasswordJob removed(QStringLiteral("Quibbo ") + file.filePath());
        removed.setAutoDelete(false);
        removed.setKey(params);
        QSignalSpy finished(&removed, &QKeychain::Job::finished);
        removed.start();
        QVERIFY(finished.wait());
        QCOMPARE(removed.error(), QKeychain::NoError);

        KeyringSettingsStore settings(file, Settings::passwordEntries(), keyringThread,
                                      QDBusConnection::sessionBus());
        QVERIFY(passwordsRead(settings));
        QVERIFY(!settings.isPasswordWithheld(params));
    }

    // One desktop service restarts (the keyring replaced at a new login, the notification
    // service with the desktop's shell) while the other stays: the client goes on with both, the
    // password read from the new keyring and the next delivery shown by the new service.
    void oneServiceRestartsWhileTheOtherStays_data()
    {
        QTest::addColumn<bool>("keyringRestarts");
        QTest::newRow("the keyring") << true;
        QTest::newRow("the notification service") << false;
    }

    void oneServiceRestartsWhileTheOtherStays()
    {
        if (!keyring)
            QSKIP("needs a keyring");
        QFETCH(bool, keyringRestarts);
        auto desktop = std::make_unique<NotificationServer>();
        AppHarness client;
        const QString email = QStringLiteral("zoe@x.test");
        const QuibboService::Credentials c =
            client.service.addAccount(email, QStringLiteral("hunter2"), 5);
        JsonFileSettingsStore file(path);
        KeyringSettingsStore settings(file, Settings::passwordEntries(), keyringThread,
                                      QDBusConnection::sessionBus());
        settings.setDictionary(params, AppHarness::stored(c));
        QVERIFY(settled(settings));
        client.test.settingsInUse = &settings;
        client.open();
        const auto sendAndSeeDelivered = [&](const QString& text) {
            const qsizetype shownBefore = desktop->shown.size();
            client.compose(text, QStringLiteral("07700 900123"));
            client.send();
            QCOMPARE(client.ui().statusField->text(), QStringLiteral("Message sent at 03:07 PM."));
            client.service.ageMessages(email, 60s);
            QSignalSpy fetched(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
            client.test.time.advance(10s);
            QVERIFY(fetched.wait());
            QTRY_COMPARE(desktop->shown.size(), shownBefore + 1);
            QCOMPARE(desktop->shown.last().body, text);
        };
        sendAndSeeDelivered(QStringLiteral("Before"));

        if (keyringRestarts) {
            QVERIFY(unlockKeyring());
        } else {
            QDBusServiceWatcher replaced(QStringLiteral("org.freedesktop.Notifications"),
                                         QDBusConnection::sessionBus(),
                                         QDBusServiceWatcher::WatchForRegistration);
            QSignalSpy registered(&replaced, &QDBusServiceWatcher::serviceRegistered);
            desktop.reset();
            desktop = std::make_unique<NotificationServer>();
            QVERIFY(registered.wait());
        }
        sendAndSeeDelivered(QStringLiteral("After"));
        QCOMPARE(client.service.account(email)->messages.size(), 2);
    }

    // A quit waits for the keyring to take the last password, and for nothing else: no timer of
    // the window fires and no bus call is served meanwhile.
    void theQuitWaitsForTheLastWriteAlone()
    {
        JsonFileSettingsStore file(path);
        bool served = false;
        QObject window;
        {
            KeyringSettingsStore settings(file, Settings::passwordEntries(), keyringThread,
                                          QDBusConnection::sessionBus());
            QVERIFY(passwordsRead(settings));
            QTimer::singleShot(0, &window, [&served] { served = true; });
            settings.setDictionary(params, credentials);
        } // the quit: the store goes after the window
        file.wait();
        QVERIFY(!served);
        QCOMPARE(onDisk().value(params).toObject().contains(QStringLiteral("Password")), !keyring);
    }
};

QTEST_MAIN(tst_Keyring)
#include "tst_keyring.moc"
