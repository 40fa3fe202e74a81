#include "AppHarness.h"
#include "CreditsUpdater.h"
#include "CurlReply.h"
#include "NetworkAccess.h"
#include "PreferencesWindow.h"
#include "ScriptedHttpServer.h"
#include "SetupAssistantController.h"
#include "SetupAssistantPanel.h"
#include "TextColours.h"
#include "XmlPropertyList.h"
#include "ui_PreferencesWindow.h"
#include "ui_SetupAssistant.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace std::chrono_literals;
using Answer = ScriptedHttpServer::Answer;

namespace {
const QString anna = QStringLiteral("anna@example.test");

// The client's first start against the simulator (or a scripted server), with an empty store.
struct FirstRun : AppHarness
{
    explicit FirstRun(const QUrl& secure = {})
    {
        service.addAccount(QStringLiteral("existing@example.test"), QStringLiteral("secret"), 10);
        open(secure);
    }

    Ui::SetupAssistant& ui() { return window->assistantPanel().ui(); }
    SetupAssistantController& setup() { return window->assistantPanel().assistant(); }
    QString stage() { return setup().currentStage(); }

    // Presses a stage's button and, when it starts an exchange, waits for its outcome.
    void press(QAbstractButton* button)
    {
        QSignalSpy checked(&setup(), &SetupAssistantController::checkFinished);
        button->click();
        if (checked.isEmpty() && button->objectName().endsWith(QLatin1String("Continue")) &&
            !button->isEnabled())
            QVERIFY(checked.wait());
    }

    // On the address stage: types the address, chooses a new or the existing account, goes on.
    void enterEmail(const QString& email, bool newAccount)
    {
        ui().userSuppliedEmailAddress->setText(email);
        (newAccount ? static_cast<QAbstractButton*>(ui().createNewAccountRadioButton)
                    : ui().useExistingAccountRadioButton)
            ->setChecked(true);
        press(ui().MyEmailAddressContinue);
    }
    void toEmailStage(const QString& email, bool newAccount)
    {
        press(ui().IntroductionContinue);
        enterEmail(email, newAccount);
    }

    void createAccount(const QString& first, const QString& surname, const QString& password,
                       const QString& again)
    {
        ui().createAccountFirstname->setText(first);
        ui().createAccountSurname->setText(surname);
        ui().createAccountPassword1->setText(password);
        ui().createAccountPassword2->setText(again);
        press(ui().CreateAccountContinue);
    }
};
} // namespace

class TestFirstRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUp_data()
    {
        QTest::addColumn<StringDictionary>("credentials");
        QTest::addColumn<bool>("assistant");
        QTest::newRow("no credentials") << StringDictionary() << true;
        QTest::newRow("two entries")
            << StringDictionary{{"CompanyId", "C1"}, {"UserId", "U1"}} << true;
        QTest::newRow("three entries, whatever they hold")
            << StringDictionary{{"a", ""}, {"b", ""}, {"c", ""}} << false;
    }

    void startUp()
    {
        QFETCH(StringDictionary, credentials);
        QFETCH(bool, assistant);
        FirstRun run;
        run.test.settings.setDictionary(QStringLiteral("QuibboAPIConnectionParams"), credentials);
        run.open();
        QCOMPARE(run.window->assistantPanel().isVisible(), assistant);
        QCOMPARE(run.window->assistantPanel().isModal(), assistant);
        if (assistant)
            QCOMPARE(run.stage(), QStringLiteral("Introduction"));

        // The load-time refreshes wait while the assistant is up: a question sent after the
        // moment they were due finds the service asked nothing before it.
        QSignalSpy credits(&run.window->credits(), &CreditsUpdater::exchangeFinished);
        run.test.time.advance(20s);
        if (!assistant) {
            QVERIFY(credits.wait());
            return;
        }
        NetworkAccess probe;
        const std::unique_ptr<CurlReply> asked(probe.get(
            run.service.secureBaseUrl().resolved(QUrl(QStringLiteral("/quib/accountInformation"))),
            4096));
        QVERIFY(QSignalSpy(asked.get(), &CurlReply::finished).wait());
        QCOMPARE(run.service.informationRequests(), 1);
    }

    // The address stage as a user retries it: each refusal says why in red, with the failure
    // sound, and leaves Continue ready; choosing the existing account goes on without a check.
    // The privacy policy opens in the browser.
    void emailStage()
    {
        const QList<std::tuple<QString, bool, QString>> attempts{
            {"", true, "You need to type in a valid email address before we can proceed."},
            {"existing@example.test", true,
             "You can not create a new account with this email address as it is already "
             "registered. Please either choose a different email address or select the option to "
             "use your existing account."},
            {"x", true,
             "The address \"x\" is not one we can send e-mail to. Please check it and try again."},
            {"x", false, ""}};
        FirstRun run;
        run.press(run.ui().IntroductionContinue);
        run.ui().privacyPolicyButton->click();
        QCOMPARE(run.test.urls.opened,
                 QList<QUrl>{run.service.publicBaseUrl().resolved(QUrl("/privacy_policy.html"))});
        for (const auto& [email, newAccount, message] : attempts) {
            run.enterEmail(email, newAccount);
            QCOMPARE(run.ui().myEmailErrorText->text(), message);
            QCOMPARE(TextColours::of(run.ui().myEmailErrorText->palette()),
                     message.isEmpty() ? TextColours::success : TextColours::failure);
            QVERIFY(run.ui().MyEmailAddressContinue->isEnabled());
        }
        QCOMPARE(run.test.sounds.played, QStringList(3, QStringLiteral("Morse")));
        QCOMPARE(run.stage(), QStringLiteral("MyAccount"));
        QCOMPARE(run.ui().myAccountEmailAddress->text(), QStringLiteral("x"));
    }

    // A new account from the address to stored credentials: the check shows its progress and
    // holds the buttons, the field checks run in order as the user mends one fault at a time,
    // and nothing is stored until the service has confirmed the account.
    void registeringANewAccount()
    {
        FirstRun run;
        run.press(run.ui().IntroductionContinue);
        run.ui().userSuppliedEmailAddress->setText(anna);
        QSignalSpy checked(&run.setup(), &SetupAssistantController::checkFinished);
        run.ui().MyEmailAddressContinue->click();
        QCOMPARE(run.ui().myEmailErrorText->text(),
                 QStringLiteral("Verifying email address...\nPlease wait."));
        QCOMPARE(TextColours::of(run.ui().myEmailErrorText->palette()), TextColours::success);
        QVERIFY(run.ui().myEmailProgressIndicator->isVisibleTo(&run.window->assistantPanel()));
        QVERIFY(!run.ui().MyEmailAddressContinue->isEnabled());
        QVERIFY(!run.ui().MyEmailAddressBack->isEnabled());
        QVERIFY(run.ui().quitButton->isEnabled());
        QVERIFY(checked.wait());
        QCOMPARE(run.stage(), QStringLiteral("CreateAccount"));
        QCOMPARE(run.ui().createAccountEmailAddress->text(), anna);
        QVERIFY(!run.ui().myEmailProgressIndicator->isVisibleTo(&run.window->assistantPanel()));

        const QString mismatch = QStringLiteral(
            "Your confirmation password doesn't match the first password you entered.");
        const QList<QStringList> attempts{
            {"", "", "secret", "secret", "You need to provide us with your Firstname."},
            {"Anna", "", "secret", "secret", "You need to provide us with your Surname."},
            {"Anna", "Berg", "12345", "12345",
             "Your password must be a minimum of 6 letters or numbers in length."},
            {"Anna", "Berg", "123456", "123457", mismatch},
            {" ", " ", "Secret", "secret", mismatch}, // names of spaces pass; letter case counts
            {"Anna", "Berg", "a b&c=d+", "a b&c=d+", ""}};
        for (const QStringList& a : attempts) {
            if (a[4].isEmpty()) {
                // The exchange: the stage says so while it is out.
                QSignalSpy created(&run.setup(), &SetupAssistantController::checkFinished);
                run.ui().createAccountFirstname->setText(a[0]);
                run.ui().createAccountSurname->setText(a[1]);
                run.ui().createAccountPassword1->setText(a[2]);
                run.ui().createAccountPassword2->setText(a[3]);
                run.ui().CreateAccountContinue->click();
                QCOMPARE(run.ui().createAccountErrorText->text(),
                         QStringLiteral("Attempting to create account...\nPlease wait."));
                QVERIFY(!run.ui().CreateAccountContinue->isEnabled());
                QVERIFY(created.wait());
            } else {
                run.createAccount(a[0], a[1], a[2], a[3]);
            }
            QCOMPARE(run.ui().createAccountErrorText->text(), a[4]);
            QCOMPARE(run.stage(), a[4].isEmpty() ? QStringLiteral("ConfirmEmail")
                                                 : QStringLiteral("CreateAccount"));
            QCOMPARE(run.service.account(anna) != nullptr, a[4].isEmpty());
        }
        QCOMPARE(run.service.account(anna)->password, QStringLiteral("a b&c=d+"));

        run.press(run.ui().ConfirmEmailContinue);
        QCOMPARE(run.stage(), QStringLiteral("ConfirmEmail"));
        QCOMPARE(run.ui().confirmEmailErrorText->text(),
                 QStringLiteral("Your account has not been confirmed yet. Please click the link in "
                                "the e-mail we sent you, then try again."));
        QVERIFY(!run.test.settings.contains(QStringLiteral("QuibboAPIConnectionParams")));
        QVERIFY(run.service.confirm(anna));
        run.press(run.ui().ConfirmEmailContinue);
        QCOMPARE(run.stage(), QStringLiteral("MyLocation"));
        QCOMPARE(run.ui().confirmEmailErrorText->text(), QString());
        QCOMPARE(run.test.settings.dictionaryForKey(QStringLiteral("QuibboAPIConnectionParams")),
                 AppHarness::stored(run.service.account(anna)->credentials));
        QCOMPARE(run.test.settings.dictionaryForKey(QStringLiteral("accountDetails")),
                 (StringDictionary{{"emailAddress", anna}, {"password", "a b&c=d+"}}));
    }

    // A wrong password stores nothing and leaves the user on the stage to retype it, or to ask
    // for a reminder in the browser.
    void existingAccount()
    {
        FirstRun run;
        run.toEmailStage(QStringLiteral("existing@example.test"), false);
        run.ui().myAccountPassword->setText(QStringLiteral("wrong"));
        run.press(run.ui().MyAccountContinue);
        QCOMPARE(run.stage(), QStringLiteral("MyAccount"));
        QCOMPARE(run.ui().myAccountErrorText->text(),
                 QStringLiteral("There is a problem connecting to this account. Please check that "
                                "you have supplied the right email address and retype the "
                                "password."));
        QVERIFY(!run.test.settings.contains(QStringLiteral("accountDetails")));
        run.ui().passwordReminderButton->click();
        QCOMPARE(run.test.urls.opened,
                 QList<QUrl>{run.service.publicBaseUrl().resolved(QUrl("/pwreminder.php"))});
        run.ui().myAccountPassword->setText(QStringLiteral("secret"));
        run.press(run.ui().MyAccountContinue);
        QCOMPARE(run.stage(), QStringLiteral("MyLocation"));
        QCOMPARE(run.ui().myAccountErrorText->text(), QString());
        QVERIFY(run.test.settings.contains(QStringLiteral("accountDetails")));
    }

    // Answers the simulator never gives, from a scripted server.
    void scriptedAnswers_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("storedEntries"); // -1: nothing stored

        const QString accountsError = QStringLiteral(
            "There was an error trying to connect to the accounts server.\nPlease check your "
            "Internet connection and try again.");
        QTest::newRow("InvalidAccount is shown as it is on the confirm stage")
            << false << Answer{200, {xmlPropertyList({{"Error", "InvalidAccount"}})}}
            << "InvalidAccount" << -1;
        QTest::newRow("no Error entry")
            << true << Answer{200, {xmlPropertyList({{"CompanyId", "C1"}})}} << accountsError << -1;
        QTest::newRow("error status")
            << true << Answer{500, {xmlPropertyList({{"Error", "None"}})}} << accountsError << -1;
        QTest::newRow("no InstallationPass")
            << true
            << Answer{200,
                      {xmlPropertyList(
                          {{"Error", "None"}, {"CompanyId", "C1"}, {"InstallationId", "I1"}})}}
            << "" << 2;
        QTest::newRow("extra entries are not stored")
            << true
            << Answer{200,
                      {xmlPropertyList({{"Error", "None"},
                                        {"CompanyId", "C1"},
                                        {"InstallationId", "I1"},
                                        {"InstallationPass", "P1"},
                                        {"Other", "x"}})}}
            << "" << 3;
    }

    void scriptedAnswers()
    {
        QFETCH(bool, existing);
        QFETCH(Answer, answer);
        QFETCH(QString, message);
        QFETCH(int, storedEntries);

        ScriptedHttpServer server({answer});
        FirstRun run(server.url());
        if (existing) {
            run.toEmailStage(anna, false);
            run.press(run.ui().MyAccountContinue);
            QCOMPARE(run.ui().myAccountErrorText->text(), message);
        } else {
            run.ui().userSuppliedEmailAddress->setText(anna);
            run.setup().proceedToStageConfirmEmail();
            run.press(run.ui().ConfirmEmailContinue);
            QCOMPARE(run.ui().confirmEmailErrorText->text(), message);
        }
        const auto stored =
            run.test.settings.dictionaryForKey(QStringLiteral("QuibboAPIConnectionParams"));
        QCOMPARE(stored ? int(stored->size()) : -1, storedEntries);
        if (storedEntries == 2) {
            QCOMPARE(*stored, (StringDictionary{{"CompanyId", "C1"}, {"UserId", "I1"}}));
            run.open(server.url()); // the next launch runs the assistant again
            QVERIFY(run.window->assistantPanel().isVisible());
        }
    }

    void unreachableService()
    {
        FirstRun run(refusingUrl());
        run.toEmailStage(anna, true);
        QCOMPARE(run.ui().myEmailErrorText->text(),
                 QStringLiteral("There was an error trying to connect to the registration "
                                "server.\nPlease check your Internet connection and try again."));
    }

    // The list offers the two most chosen countries, then every name in alphabetical order. Each
    // choice fills the dialling code, the start of the mobile number and the prefix tick; the
    // separator fills blanks and the title item changes nothing. Continuing stores what the
    // fields show, and finishing refreshes the balance and shows the choices in the preferences.
    void countryChoice()
    {
        FirstRun run;
        run.setup().proceedToStageMyLocation();
        run.ui().myLocationCountryCode->setText(QStringLiteral("typed"));
        run.ui().myLocationMobileNumber->setText(QStringLiteral("07700"));
        QComboBox* countries = run.ui().myLocationCountryPullDown;
        QCOMPARE(countries->itemText(1) + countries->itemText(2) + countries->itemText(3),
                 QStringLiteral("  USA  United Kingdom-----"));
        for (int i = 5; i < countries->count(); ++i)
            QVERIFY2(
                countries->itemText(i - 1).compare(countries->itemText(i), Qt::CaseInsensitive) < 0,
                qPrintable(countries->itemText(i)));
        for (const auto& [country, code, mobile, translation] :
             QList<std::tuple<QString, QString, QString, bool>>{
                 {"Choose your country", "typed", "07700", false},
                 {"-----", " ", "+ ", true},
                 {"  USA", "1", "+1", false},
                 {"United Kingdom", "44", "+44", true}}) {
            const int index = countries->findText(country);
            QVERIFY(index >= 0);
            countries->setCurrentIndex(index);
            emit countries->activated(index);
            QCOMPARE(run.ui().myLocationCountryCode->text(), code);
            QCOMPARE(run.ui().myLocationMobileNumber->text(), mobile);
            QCOMPARE(run.ui().myLocationUsePrefixTickBox->isChecked(), translation);
        }
        run.press(run.ui().MyLocationContinue);
        QCOMPARE(run.stage(), QStringLiteral("Conclusion"));
        QCOMPARE(run.test.settings.dictionaryForKey(QStringLiteral("numberTranslation")),
                 (StringDictionary{{"countryCode", "44"}, {"translationState", "ON"}}));
        QCOMPARE(run.test.settings.stringForKey(QStringLiteral("senderID")), QStringLiteral("+44"));
        QSignalSpy credits(&run.window->credits(), &CreditsUpdater::exchangeFinished);
        run.press(run.ui().ConclusionContinue);
        QVERIFY(credits.wait());
        QCOMPARE(run.window->preferencesWindow().ui().mySenderIDField->text(),
                 QStringLiteral("+44"));
        QCOMPARE(run.window->preferencesWindow().ui().myCountryCode->text(), QStringLiteral("44"));
    }

    // Every Back button leads to the stage before it.
    void backButtons_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("before");
        QTest::newRow("address") << "MyEmailAddress"
                                 << "MyEmailAddressBack"
                                 << "Introduction";
        QTest::newRow("new account") << "CreateAccount"
                                     << "CreateAccountBack"
                                     << "MyEmailAddress";
        QTest::newRow("existing account") << "MyAccount"
                                          << "MyAccountBack"
                                          << "MyEmailAddress";
        QTest::newRow("conclusion") << "Conclusion"
                                    << "ConclusionBack"
                                    << "MyLocation";
    }

    void backButtons()
    {
        QFETCH(QString, stage);
        QFETCH(QString, button);
        QFETCH(QString, before);
        FirstRun run;
        const QHash<QString, void (SetupAssistantController::*)()> reach{
            {"MyEmailAddress", &SetupAssistantController::proceedToStageMyEmail},
            {"CreateAccount", &SetupAssistantController::proceedToStageCreateAccount},
            {"MyAccount", &SetupAssistantController::proceedToStageMyAccount},
            {"Conclusion", &SetupAssistantController::proceedToStageConclusion}};
        (run.setup().*reach.value(stage))();
        QCOMPARE(run.stage(), stage);
        auto* back = run.window->assistantPanel().findChild<QAbstractButton*>(button);
        QVERIFY(back && back->isVisibleTo(&run.window->assistantPanel()));
        run.press(back);
        QCOMPARE(run.stage(), before);
    }

    void typingFilters()
    {
        FirstRun run;
        run.setup().proceedToStageMyLocation();
        QLineEdit* code = run.ui().myLocationCountryCode;
        QTest::keyClicks(code, QStringLiteral(" 4a4"));
        QCOMPARE(code->text(), QStringLiteral("44"));

        QLineEdit* mobile = run.ui().myLocationMobileNumber;
        QTest::keyClicks(mobile, QStringLiteral("+44 7700 900123"));
        QCOMPARE(mobile->text(), QStringLiteral("+44 7700 90"));
        QCOMPARE(run.test.sounds.played, QStringList(6, QStringLiteral("Morse")));

        // Over a selection of a full field, the selection makes room; what is still too long is
        // cut from the end, and the cursor stays after what was typed.
        run.test.sounds.played.clear();
        code->setText(QStringLiteral("123456"));
        code->setSelection(3, -2);
        QTest::keyClicks(code, QStringLiteral("789"));
        QCOMPARE(code->text(), QStringLiteral("178945"));
        QCOMPARE(code->cursorPosition(), 4);
        mobile->setText(QStringLiteral("+44 7700 90"));
        mobile->setSelection(4, 4);
        QTest::keyClicks(mobile, QStringLiteral("12345"));
        QCOMPARE(mobile->text(), QStringLiteral("+44 12345 9"));
        QCOMPARE(mobile->cursorPosition(), 9);
        QCOMPARE(run.test.sounds.played, QStringList(2, QStringLiteral("Morse")));
    }

    // Quitting ends the event loop that main() runs, from any stage and at any moment.
    void quitEndsTheEventLoop_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Quit button", "close button", "Return on Quit",
                                "while an exchange is out", "after verification"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }

    void quitEndsTheEventLoop()
    {
        QFETCH(QString, how);
        FirstRun run;
        SetupAssistantPanel& panel = run.window->assistantPanel();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        if (how == QLatin1String("while an exchange is out")) {
            run.press(run.ui().IntroductionContinue);
            run.ui().userSuppliedEmailAddress->setText(anna);
            run.ui().MyEmailAddressContinue->click();
        } else if (how == QLatin1String("after verification")) {
            run.toEmailStage(QStringLiteral("existing@example.test"), false);
            run.ui().myAccountPassword->setText(QStringLiteral("secret"));
            run.press(run.ui().MyAccountContinue);
        }
        QTimer::singleShot(0, &panel, [&] {
            if (how == QLatin1String("close button")) {
                panel.close();
            } else if (how == QLatin1String("Return on Quit")) {
                run.ui().quitButton->setFocus();
                QTest::keyClick(run.ui().quitButton, Qt::Key_Return);
            } else {
                run.ui().quitButton->click();
            }
        });
        // Only a quit that never ends the loop lets this fire.
        QTimer::singleShot(10s, &panel, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!panel.isVisible());
        if (how == QLatin1String("after verification")) {
            // The account was stored when it was verified; the location never was.
            QVERIFY(!run.test.settings.contains(QStringLiteral("senderID")));
            run.open();
            QVERIFY(!run.window->assistantPanel().isVisible());
        }
    }

    // Return always means "go on": while a check is out it presses nothing, and the focus
    // never falls on Quit or Back because the stage's buttons were disabled.
    void returnDuringACheckPressesNothing()
    {
        FirstRun run;
        SetupAssistantPanel& panel = run.window->assistantPanel();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        run.press(run.ui().IntroductionContinue);
        QCOMPARE(panel.focusWidget(), run.ui().userSuppliedEmailAddress);
        QTest::keyClicks(panel.focusWidget(), QStringLiteral("existing@example.test"));
        QSignalSpy checked(&run.setup(), &SetupAssistantController::checkFinished);
        QSignalSpy quit(&run.setup(), &SetupAssistantController::quitRequested);
        QTest::keyClick(panel.focusWidget(), Qt::Key_Return);
        QVERIFY(!run.ui().MyEmailAddressContinue->isEnabled()); // the check is out
        // The focus rests on the stage's message, which a screen reader reads.
        QCOMPARE(panel.focusWidget(), run.ui().myEmailErrorText);
        QTest::keyClick(panel.focusWidget(), Qt::Key_Return);
        QVERIFY(checked.wait());
        QCOMPARE(quit.size(), 0);
        // Already registered: the address is the field to correct.
        QCOMPARE(run.stage(), QStringLiteral("MyEmailAddress"));
        QCOMPARE(panel.focusWidget(), run.ui().userSuppliedEmailAddress);
        QTest::keyClick(panel.focusWidget(), Qt::Key_Return);
        QVERIFY(checked.wait());
        QCOMPARE(quit.size(), 0);
        QCOMPARE(panel.focusWidget(), run.ui().userSuppliedEmailAddress);
    }

    // On every stage Enter moves forward and the focus starts on a field or the forward button.
    void everyStageGoesForwardOnEnter()
    {
        FirstRun run;
        SetupAssistantPanel& panel = run.window->assistantPanel();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        using S = SetupAssistantController;
        for (void (S::*show)() : {&S::proceedToStageIntroduction, &S::proceedToStageMyEmail,
                                  &S::proceedToStageCreateAccount, &S::proceedToStageConfirmEmail,
                                  &S::proceedToStageMyAccount, &S::proceedToStageMyLocation,
                                  &S::proceedToStageConclusion}) {
            (run.setup().*show)();
            QWidget* page = run.ui().myTabView->currentWidget();
            auto* next = page->findChild<QPushButton*>(page->objectName() + "Continue");
            QVERIFY2(next && next->isDefault(), qPrintable(page->objectName()));
            QWidget* focus = panel.focusWidget();
            QVERIFY2(focus == next || qobject_cast<QLineEdit*>(focus),
                     qPrintable(page->objectName()));
        }
        // Going back from the confirmation would only meet "already exists" on a second try.
        QVERIFY(!panel.findChild<QWidget*>(QStringLiteral("ConfirmEmailBack")));
    }
};

QTEST_MAIN(TestFirstRun)
#include "tst_firstrun.moc"
