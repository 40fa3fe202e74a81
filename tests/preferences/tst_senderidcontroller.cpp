#include "FakeSoundPlayer.h"
#include "MemorySettingsStore.h"
#include "SenderIDController.h"
#include "Settings.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace {
struct Fixture
{
    Fixture()
        : sending({countryCode, senderId, translate, longMessages, notifications}, typedSettings,
                  sounds)
    {}
    MemorySettingsStore settings;
    Settings typedSettings{settings};
    FakeSoundPlayer sounds;
    QLineEdit countryCode;
    QLineEdit senderId;
    QCheckBox translate;
    QCheckBox longMessages;
    QCheckBox notifications;
    SenderIDController sending;
};
} // namespace

class TestSenderIDController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // What is typed or pasted into the sender ID goes through its filter, with a sound for each
    // refusal; the country code field is left to its own filter.
    void senderIdIsFiltered()
    {
        Fixture f;
        f.sending.awakeFromNib();
        f.senderId.setText(QStringLiteral("ACME"));
        f.senderId.setCursorPosition(2);
        QTest::keyClicks(&f.senderId, QStringLiteral("|"));
        QCOMPARE(f.senderId.text(), QStringLiteral("AC")); // an escape in the middle drops the rest
        QCOMPARE(f.sounds.played.size(), 1);
        f.senderId.clear();
        f.senderId.insert(QStringLiteral("ACME[1]"));
        emit f.senderId.textEdited(f.senderId.text());
        QCOMPARE(f.senderId.text(), QStringLiteral("ACME"));
        QTest::keyClicks(&f.countryCode, QStringLiteral(" 4a4"));
        QCOMPARE(f.countryCode.text(), QStringLiteral(" 4a4"));
    }

    // Typing or pasting over a selection of a full sender ID: the selection makes room, what is
    // still too long is cut from the end with a sound, and the cursor stays after what went in.
    void overASelection_data()
    {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("sounds");
        QTest::addColumn<int>("cursor");

        const QString full = QStringLiteral("ACMECORPLTD"); // eleven letters: full
        const QString digits = QStringLiteral("4477009001234567");
        QTest::newRow("over one letter")
            << full << 2 << 1 << "X" << false << "ACXECORPLTD" << 0 << 3;
        QTest::newRow("over two letters, three")
            << full << 2 << 2 << "XYZ" << false << "ACXYZCORPLT" << 1 << 5;
        QTest::newRow("pasted over two letters, three")
            << full << 2 << 2 << "XYZ" << true << "ACXYZCORPLT" << 1 << 5;
        QTest::newRow("over all of it") << full << 0 << 11 << "NEW" << false << "NEW" << 0 << 3;
        QTest::newRow("over the last letter")
            << full << 10 << 1 << "XY" << false << "ACMECORPLTX" << 1 << 11;
        QTest::newRow("over a digit of a full number")
            << digits << 3 << 1 << "8" << false << "4478009001234567" << 0 << 4;
        QTest::newRow("a letter over a digit of a full number")
            << digits << 3 << 1 << "A" << false << "447A0090012" << 1 << 4;
        QTest::newRow("an escape over a selection")
            << full << 4 << 3 << "|" << false << "ACME" << 1 << 4;
    }

    void overASelection()
    {
        QFETCH(QString, initial);
        QFETCH(int, at);
        QFETCH(int, selected);
        QFETCH(QString, typed);
        QFETCH(bool, pasted);
        QFETCH(QString, result);
        QFETCH(int, sounds);
        QFETCH(int, cursor);

        Fixture f;
        f.sending.awakeFromNib();
        f.senderId.setText(initial);
        f.senderId.setSelection(at + selected, -selected);
        if (pasted) {
            f.senderId.insert(typed);
            emit f.senderId.textEdited(f.senderId.text());
        } else {
            QTest::keyClicks(&f.senderId, typed);
        }
        QCOMPARE(f.senderId.text(), result);
        QCOMPARE(f.sounds.played.size(), sounds);
        QCOMPARE(f.senderId.cursorPosition(), cursor);
    }

    // The end of editing in either field stores both.
    void changesAreStoredAtOnce()
    {
        Fixture f;
        f.sending.awakeFromNib();
        f.translate.setChecked(true);
        for (const auto& [ended, code] : {std::pair(&f.senderId, "49"), {&f.countryCode, "33"}}) {
            f.senderId.setText(QStringLiteral("Quibbo") + QLatin1String(code));
            f.countryCode.setText(QLatin1String(code));
            emit ended->editingFinished();
            QCOMPARE(f.settings.stringForKey(QStringLiteral("senderID")), f.senderId.text());
            QCOMPARE(f.settings.dictionaryForKey(QStringLiteral("numberTranslation")),
                     (StringDictionary{{"translationState", "ON"}, {"countryCode", code}}));
        }

        f.translate.click(); // unticked: stored at once, and the code field is disabled
        QCOMPARE(f.settings.dictionaryForKey(QStringLiteral("numberTranslation")),
                 (StringDictionary{{"translationState", "OFF"}, {"countryCode", "33"}}));
        QVERIFY(!f.countryCode.isEnabled());
        f.translate.click();
        QVERIFY(f.countryCode.isEnabled());

        f.longMessages.click();
        QCOMPARE(f.settings.stringForKey(QStringLiteral("longSMSAllowed")), QStringLiteral("ON"));
        f.longMessages.click();
        QCOMPARE(f.settings.stringForKey(QStringLiteral("longSMSAllowed")), QStringLiteral("OFF"));

        QVERIFY(f.notifications.isChecked()); // on unless turned off
        f.notifications.click();
        QCOMPARE(f.settings.stringForKey(QStringLiteral("deliveryNotifications")),
                 QStringLiteral("OFF"));
    }

    // A screen reader toggles a tick box without clicking it: the option is stored all the same.
    void aToggleFromAScreenReaderIsStored()
    {
        Fixture f;
        f.sending.awakeFromNib();
        for (QCheckBox* box : {&f.longMessages, &f.translate, &f.notifications})
            QAccessible::queryAccessibleInterface(box)->actionInterface()->doAction(
                QAccessibleActionInterface::toggleAction());
        QCOMPARE(f.settings.stringForKey(QStringLiteral("longSMSAllowed")), QStringLiteral("ON"));
        QCOMPARE(f.settings.dictionaryForKey(QStringLiteral("numberTranslation"))
                     ->value(QStringLiteral("translationState")),
                 QStringLiteral("ON"));
        QVERIFY(f.countryCode.isEnabled());
        QCOMPARE(f.settings.stringForKey(QStringLiteral("deliveryNotifications")),
                 QStringLiteral("OFF"));
    }

    void loading_data()
    {
        QTest::addColumn<QJsonObject>("stored");
        QTest::addColumn<QString>("senderId");
        QTest::addColumn<bool>("longTicked");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("translateTicked");

        // Before loading: sender "as defined", long ticked, code "1", translate ticked. The code
        // field is enabled exactly when translation is ticked.
        QTest::newRow("nothing stored keeps the controls")
            << QJsonObject() << "as defined" << true << "1" << true;
        QTest::newRow("stored values")
            << QJsonObject{{"senderID", "[Tom]"},
                           {"longSMSAllowed", "OFF"},
                           {"numberTranslation",
                            QJsonObject{{"countryCode", "44"}, {"translationState", "ON"}}}}
            << "[Tom]" << false << "44" << true;
        QTest::newRow("lower-case on loads unticked")
            << QJsonObject{{"longSMSAllowed", "on"},
                           {"numberTranslation",
                            QJsonObject{{"countryCode", "44"}, {"translationState", "on"}}}}
            << "as defined" << false << "44" << false;
        QTest::newRow("state absent")
            << QJsonObject{{"numberTranslation", QJsonObject{{"countryCode", "33"}}}}
            << "as defined" << true << "33" << false;
        QTest::newRow("empty dictionary keeps the controls")
            << QJsonObject{{"numberTranslation", QJsonObject()}} << "as defined" << true << "1"
            << true;
    }

    void loading()
    {
        QFETCH(QJsonObject, stored);
        QFETCH(QString, senderId);
        QFETCH(bool, longTicked);
        QFETCH(QString, code);
        QFETCH(bool, translateTicked);
        Fixture f;
        f.senderId.setText(QStringLiteral("as defined"));
        f.longMessages.setChecked(true);
        f.countryCode.setText(QStringLiteral("1"));
        f.translate.setChecked(true);
        for (auto it = stored.begin(); it != stored.end(); ++it)
            f.settings.insertRaw(it.key(), it.value());
        f.sending.awakeFromNib();
        QCOMPARE(f.senderId.text(), senderId);
        QCOMPARE(f.longMessages.isChecked(), longTicked);
        QCOMPARE(f.countryCode.text(), code);
        QCOMPARE(f.translate.isChecked(), translateTicked);
        QCOMPARE(f.countryCode.isEnabled(), translateTicked);
        QCOMPARE(f.sounds.played.size(), 0);
        // Loading writes nothing back.
        for (const char* key :
             {"senderID", "longSMSAllowed", "numberTranslation", "deliveryNotifications"})
            QCOMPARE(f.settings.contains(QLatin1String(key)), stored.contains(QLatin1String(key)));
    }
};

QTEST_MAIN(TestSenderIDController)
#include "tst_senderidcontroller.moc"
