#include "MemorySettingsStore.h"
#include "Settings.h"

#include <QTest>

// How a flag stored in another form than "ON" or "OFF" reads. (What each setting stores is
// proven by the controllers' tests, which read the file's raw keys.)
class TestSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void flagsInOtherFormsRead_data()
    {
        QTest::addColumn<QJsonValue>("stored");
        // translates, ticked, long messages allowed, notifications
        QTest::addColumn<QList<bool>>("flags");
        // Read differently on purpose: numbers translate unless "OFF", the box ticks only for
        // "ON"; long messages need exactly "ON", notifications stay on unless exactly "OFF".
        QTest::newRow("lower case") << QJsonValue("on") << QList<bool>{1, 0, 0, 1};
        QTest::newRow("lower-case off") << QJsonValue("off") << QList<bool>{1, 0, 0, 1};
        // A dictionary without a string entry is an empty one: no translation at all.
        QTest::newRow("not a string") << QJsonValue(true) << QList<bool>{0, 0, 0, 1};
    }
    void flagsInOtherFormsRead()
    {
        QFETCH(QJsonValue, stored);
        QFETCH(QList<bool>, flags);
        MemorySettingsStore store;
        store.insertRaw(QStringLiteral("numberTranslation"),
                        QJsonObject{{QStringLiteral("translationState"), stored}});
        store.insertRaw(QStringLiteral("longSMSAllowed"), stored);
        store.insertRaw(QStringLiteral("deliveryNotifications"), stored);
        const Settings settings(store);
        const std::optional<Settings::NumberTranslation> translation = settings.numberTranslation();
        QCOMPARE((QList<bool>{translation && translation->translates(),
                              translation && translation->ticked(), settings.longSMSAllowed(),
                              settings.deliveryNotifications()}),
                 flags);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
