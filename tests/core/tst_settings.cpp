#include "MemorySettingsStore.h"
#include "Settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

// Each setting as older files hold it: what a stored value reads as, and the exact form each
// change is stored in.
class TestSettings : public QObject
{
    Q_OBJECT

    // The whole store as one compact JSON text, to compare stored forms byte for byte.
    static QByteArray stored(const MemorySettingsStore& store, const QStringList& keys)
    {
        QJsonObject all;
        for (const QString& key : keys)
            if (store.contains(key))
                all.insert(key, store.raw(key));
        return QJsonDocument(all).toJson(QJsonDocument::Compact);
    }

private Q_SLOTS:
    void storedValuesRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        // set up, translates, ticked, long allowed, notifications, recent numbers
        QTest::addColumn<QList<bool>>("flags");
        QTest::addColumn<QStringList>("recent");
        QTest::newRow("nothing stored")
            << QByteArray("{}") << QList<bool>{0, 0, 0, 0, 1, 0} << QStringList();
        QTest::newRow("as written")
            << QByteArray(R"({"QuibboAPIConnectionParams":{"CompanyId":"C","UserId":"U",
                "Password":"P"},"numberTranslation":{"translationState":"ON","countryCode":"44"},
                "longSMSAllowed":"ON","deliveryNotifications":"OFF","RecentMsisdns":["1","2"]})")
            << QList<bool>{1, 1, 1, 1, 0, 1} << QStringList{"1", "2"};
        // Read differently on purpose: numbers translate unless "OFF", the box ticks only for
        // "ON"; long messages need exactly "ON", notifications stay on unless exactly "OFF".
        QTest::newRow("lower case") << QByteArray(R"({"numberTranslation":{"translationState":"on"},
                "longSMSAllowed":"on","deliveryNotifications":"off"})")
                                    << QList<bool>{0, 1, 0, 0, 1, 0} << QStringList();
        QTest::newRow("translation off")
            << QByteArray(R"({"numberTranslation":{"translationState":"OFF"}})")
            << QList<bool>{0, 0, 0, 0, 1, 0} << QStringList();
        QTest::newRow("wrong forms read as defaults")
            << QByteArray(R"({"QuibboAPIConnectionParams":["C","U","P"],"numberTranslation":"ON",
                "longSMSAllowed":true,"deliveryNotifications":0,"RecentMsisdns":["1",2]})")
            << QList<bool>{0, 0, 0, 0, 1, 0} << QStringList();
        QTest::newRow("two credentials and another entry make three")
            << QByteArray(R"({"QuibboAPIConnectionParams":{"CompanyId":"C","UserId":"U",
                "Extra":"E"}})")
            << QList<bool>{1, 0, 0, 0, 1, 0} << QStringList();
    }
    void storedValuesRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<bool>, flags);
        QFETCH(QStringList, recent);
        MemorySettingsStore store;
        const QJsonObject values = QJsonDocument::fromJson(file).object();
        QVERIFY(!values.isEmpty() || file == "{}");
        for (auto it = values.begin(); it != values.end(); ++it)
            store.insertRaw(it.key(), it.value());
        const Settings settings(store);
        const std::optional<Settings::NumberTranslation> translation = settings.numberTranslation();
        QCOMPARE(
            (QList<bool>{settings.accountIsSetUp(), translation && translation->translates(),
                         translation && translation->ticked(), settings.longSMSAllowed(),
                         settings.deliveryNotifications(), !settings.recentNumbers().isEmpty()}),
            flags);
        QCOMPARE(settings.recentNumbers(), recent);
    }

    // What each change stores, byte for byte as older clients stored it.
    void changesAreStoredAsBefore()
    {
        MemorySettingsStore store;
        Settings settings(store);
        const QStringList keys{"QuibboAPIConnectionParams",
                               "accountDetails",
                               "senderID",
                               "numberTranslation",
                               "longSMSAllowed",
                               "deliveryNotifications",
                               "RecentMsisdns"};
        settings.setCredentials({.companyId = QStringLiteral("C"),
                                 .userId = std::nullopt,
                                 .password = QStringLiteral("P")});
        settings.setAccountDetails({QStringLiteral("a@x.test"), QStringLiteral("pw")});
        settings.setSenderID(QStringLiteral("Ann"));
        settings.setNumberTranslation(true, QStringLiteral("44"));
        settings.setLongSMSAllowed(false);
        settings.setDeliveryNotifications(true);
        settings.setRecentNumbers({QStringLiteral("07700 900123")});
        QCOMPARE(stored(store, keys),
                 QByteArray(R"({"QuibboAPIConnectionParams":{"CompanyId":"C","Password":"P"},)"
                            R"("RecentMsisdns":["07700 900123"],"accountDetails":)"
                            R"({"emailAddress":"a@x.test","password":"pw"},)"
                            R"("deliveryNotifications":"ON","longSMSAllowed":"OFF",)"
                            R"("numberTranslation":{"countryCode":"44","translationState":"ON"},)"
                            R"("senderID":"Ann"})"));
        // The service's own dictionary is kept whole.
        settings.setCredentialsAsHandedOut({{"CompanyId", "C"}, {"Extra", "E"}});
        QCOMPARE(stored(store, {"QuibboAPIConnectionParams"}),
                 QByteArray(R"({"QuibboAPIConnectionParams":{"CompanyId":"C","Extra":"E"}})"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
