#include "AddressBookPanel.h"
#include "AppHarness.h"
#include "InstalledTranslations.h"
#include "MessageBoxAlerts.h"
#include "OutboxDialog.h"
#include "PreferencesWindow.h"
#include "ServicesRequestWindow.h"
#include "SetupAssistantPanel.h"
#include "UpdatePanel.h"
#include "ui_PreferencesWindow.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabBar>

namespace {
// The mnemonics that answer at once in a window: its visible controls', its tab bars' and its
// menu bar's. Returns the texts that share a letter.
QString clashes(QWidget* window)
{
    QMultiHash<QKeySequence, QString> owners;
    const auto add = [&owners](const QString& text) {
        if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty())
            owners.insert(key, text);
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !w->isVisibleTo(window))
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(button->text());
        else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            add(label->text());
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i));
        else if (auto* bar = qobject_cast<QMenuBar*>(w))
            for (QAction* action : bar->actions())
                add(action->text());
    }
    QString shared;
    for (const QKeySequence& key : owners.uniqueKeys())
        if (owners.count(key) > 1)
            shared +=
                QStringList(owners.values(key)).join(QStringLiteral(" / ")) + QStringLiteral("; ");
    return shared;
}

// The German texts, installed as main() installs them under LANG=de_DE.UTF-8.
struct German
{
    German() { translations.install(); }
    InstalledTranslations translations{QLocale(QLocale::German, QLocale::Germany)};
};

// What the windows show (titles, controls, tabs, menus, column headings, placeholders, tips and
// the names a screen reader reads), every stage of each.
// Every window of the client, each built (the address book's dock lives in the main one).
QList<QWidget*> allWindows(MainWindow& main)
{
    main.addressBookPanel();
    return {&main,
            &main.preferencesWindow(),
            &main.assistantPanel(),
            &main.servicesRequestWindow(),
            &main.updatePanel(),
            &main.outboxDialog()};
}

QSet<QString> shownTexts(MainWindow& main)
{
    QSet<QString> texts;
    const auto add = [&texts](const QString& text) {
        if (!text.isEmpty())
            texts.insert(text);
    };
    const auto walk = [&](QWidget* window) {
        add(window->windowTitle());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            add(w->toolTip());
            add(w->accessibleName());
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                add(button->text());
            else if (auto* label = qobject_cast<QLabel*>(w))
                add(label->text());
            else if (auto* edit = qobject_cast<QLineEdit*>(w))
                add(edit->placeholderText());
            else if (auto* tabs = qobject_cast<QTabBar*>(w))
                for (int i = 0; i < tabs->count(); ++i)
                    add(tabs->tabText(i));
            else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model())
                for (int c = 0; c < view->model()->columnCount(); ++c)
                    add(view->model()->headerData(c, Qt::Horizontal).toString());
        }
        for (QAction* action : window->findChildren<QAction*>())
            add(action->text());
    };
    for (QWidget* window : allWindows(main)) {
        walk(window);
        for (QStackedWidget* stack : window->findChildren<QStackedWidget*>()) {
            for (int page = 0; page < stack->count(); ++page) {
                stack->setCurrentIndex(page);
                walk(window);
            }
        }
    }
    return texts;
}
} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mnemonicsAreUnique_data()
    {
        QTest::addColumn<bool>("german");
        QTest::newRow("English") << false;
        QTest::newRow("German") << true;
    }

    // Every window, every stage and tab of it: no two controls answer to the same Alt+letter,
    // and each menu's items have letters of their own; in each language.
    void mnemonicsAreUnique()
    {
        QFETCH(bool, german);
        std::optional<German> language;
        if (german)
            language.emplace();
        AppHarness client;
        client.configure(QStringLiteral("ann@example.test"), 10);
        client.open();
        MainWindow& main = *client.window;
        main.addressBookPanel().show();
        for (QWidget* window : allWindows(main)) {
            QString shared = clashes(window);
            for (QStackedWidget* stack : window->findChildren<QStackedWidget*>()) {
                for (int page = 0; page < stack->count(); ++page) {
                    stack->setCurrentIndex(page);
                    shared += clashes(window);
                }
            }
            QVERIFY2(shared.isEmpty(),
                     qPrintable(window->objectName() + QStringLiteral(": ") + shared));
        }
        for (QMenu* menu : main.findChildren<QMenu*>()) {
            QSet<QKeySequence> keys;
            for (QAction* action : menu->actions()) {
                const QKeySequence key = QKeySequence::mnemonic(action->text());
                QVERIFY2(key.isEmpty() || !keys.contains(key), qPrintable(action->text()));
                keys.insert(key);
            }
        }
    }

    // In German, nothing the windows show is left in English: a text both languages show is
    // one whose German is the same word (or has no letters).
    void everyWindowSpeaksGerman()
    {
        QSet<QString> english;
        {
            AppHarness client;
            client.open();
            english = shownTexts(*client.window);
        }
        QSet<QString> same;
        {
            const German language;
            AppHarness client;
            client.open();
            same = shownTexts(*client.window) & english;
        }
        // The words the two languages share.
        const QSet<QString> shared{"Quibbo", "Name", "Status", "Pager:"};
        QStringList untranslated;
        for (const QString& text : std::as_const(same))
            if (text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}"))) &&
                !shared.contains(text))
                untranslated << text;
        untranslated.sort();
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QStringLiteral(" | "))));
        QVERIFY(english.size() > 100);
    }

    // Text from outside (the service, contacts, other programs) is never drawn as markup: every
    // label is plain text but the assistant's own headings.
    void labelsArePlainText()
    {
        AppHarness client;
        client.open();
        int checked = 0;
        for (QWidget* window : allWindows(*client.window)) {
            for (QLabel* label : window->findChildren<QLabel*>()) {
                const QString name = label->objectName();
                if (name.isEmpty() || name.startsWith(u"qt_") || name.endsWith(u"Title"))
                    continue;
                QVERIFY2(label->textFormat() == Qt::PlainText,
                         qPrintable(window->objectName() + u'.' + name));
                ++checked;
            }
        }
        QVERIFY(checked > 20);
    }

    // An alert stands above the window that raised it, even a floating one, and shows its
    // words as they are.
    void alertsBelongToTheWindowThatRaisedThem()
    {
        QWidget main;
        QWidget floating(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
        main.show();
        floating.show();
        floating.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&floating));
        MessageBoxAlerts alerts;
        alerts.setWindow(&main);
        alerts.show(&main, Alerts::Style::Informational,
                    QStringLiteral("Before <b>Installing</b>..."), QStringLiteral("<i>words</i>"),
                    {});
        auto* box = floating.findChild<QMessageBox*>();
        QVERIFY(box);
        QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        const auto* informative =
            box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
        QVERIFY(informative);
        QCOMPARE(informative->textFormat(), Qt::PlainText);
        box->accept();
    }

    // An alert dismissed after the object whose work it finishes has gone (a window closed
    // meanwhile) runs nothing of that object's.
    void anAlertOutlivingItsAskerRunsNothing()
    {
        QWidget main;
        main.show();
        MessageBoxAlerts alerts;
        alerts.setWindow(&main);
        bool ran = false;
        auto asker = std::make_unique<QObject>();
        alerts.show(asker.get(), Alerts::Style::Warning, QStringLiteral("Insufficient credits"), {},
                    [&ran] { ran = true; });
        asker.reset();
        main.findChild<QMessageBox*>()->accept();
        QVERIFY(!ran);
    }

    // The main window starts the update check a second after the launch: a newer version on
    // offer shows the update window.
    void aNewerVersionIsAnnouncedAfterTheLaunch()
    {
        AppHarness client;
        client.service.setOfferedVersion(QStringLiteral("99.0.0"));
        client.configure(QStringLiteral("ann@example.test"), 10);
        client.open();
        QTRY_VERIFY(client.test.time.pendingMilliseconds().contains(1000));
        client.test.time.advance(std::chrono::seconds(1));
        QTRY_VERIFY(client.window->updatePanel().isVisible());
    }

    // A question answers with the act only when its button was pressed: Cancel, Escape and the
    // default all answer Cancel.
    void aQuestionAnswersWhatWasPressed_data()
    {
        QTest::addColumn<int>("press"); // 0: the act, 1: Cancel, 2: Escape
        QTest::addColumn<bool>("goOn");
        QTest::newRow("the act") << 0 << true;
        QTest::newRow("Cancel") << 1 << false;
        QTest::newRow("Escape") << 2 << false;
    }

    void aQuestionAnswersWhatWasPressed()
    {
        QFETCH(int, press);
        QFETCH(bool, goOn);
        QWidget main;
        main.show();
        MessageBoxAlerts alerts;
        alerts.setWindow(&main);
        std::optional<bool> answer;
        alerts.confirm(&main, QStringLiteral("Send this message to 11 recipients?"), {},
                       QStringLiteral("&Send to All"), [&answer](bool yes) { answer = yes; });
        auto* box = main.findChild<QMessageBox*>();
        QVERIFY(box);
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::Cancel));
        const QList<QAbstractButton*> buttons = box->buttons();
        QAbstractButton* act = *std::find_if(buttons.begin(), buttons.end(), [](auto* button) {
            return button->text() == QLatin1String("&Send to All");
        });
        if (press == 2)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            (press == 0 ? act : box->button(QMessageBox::Cancel))->click();
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(*answer, goOn);
    }

    // Closing the preferences without a verified save puts the stored details back.
    void preferencesForgetUnsavedEdits()
    {
        AppHarness client;
        client.configure(QStringLiteral("ann@example.test"), 10);
        client.test.settings.setDictionary(
            QStringLiteral("accountDetails"),
            {{"emailAddress", "ann@example.test"}, {"password", "secret"}});
        client.open();
        QDialog& window = client.window->preferencesWindow();
        Ui::PreferencesWindow& p = client.window->preferencesWindow().ui();
        window.show();
        QTest::keyClicks(p.myPassword, QStringLiteral("-wrong"));
        QVERIFY(p.mySaveButton->isEnabled());
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(p.myPassword->text(), QStringLiteral("secret"));
        QVERIFY(!p.mySaveButton->isEnabled());
    }

    // The progress bar keeps its room while hidden: the progress word beside it stands still
    // when a send shows the bar and when its end hides it.
    void theProgressWordStandsStill()
    {
        AppHarness client;
        client.configure(QStringLiteral("ann@example.test"), 10);
        client.open();
        client.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(client.window.get()));
        QLabel* word = client.ui().progressDescription;
        const QPoint idle = word->mapTo(client.window.get(), QPoint());
        client.ui().sendProgressField->show();
        client.window->layout()->activate();
        QCOMPARE(word->mapTo(client.window.get(), QPoint()), idle);
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
