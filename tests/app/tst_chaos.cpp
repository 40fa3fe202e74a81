#include "AppHarness.h"
#include "ChaosProxy.h"
#include "CreditsUpdater.h"
#include "MsgHistoryDataSource.h"

using namespace std::chrono_literals;

// A few hundred exchanges with a service that misbehaves at random (resets, delays, garbage,
// 500s, oversized, trickling and endless answers): every send ends in a defined outcome after
// exactly one POST and gives Send back, no figure comes from a broken answer and the history
// never shows half a document. (How long the event loop is held is the benchmarks' to measure.)
class TestChaos : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void soak()
    {
        constexpr qint64 credits = 100'000;
        AppHarness client(300ms);
        client.configure(QStringLiteral("soak@example.test"), credits);
        ChaosProxy chaos(client.service.secureBaseUrl(), 20261207);
        QVERIFY(chaos.listen());
        client.open(chaos.url());

        QSignalSpy creditsDone(&client.window->credits(), &CreditsUpdater::exchangeFinished);
        QSignalSpy historyDone(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
        int rowsShown = 0;
        for (int round = 0; round < 100; ++round) {
            const int posts = chaos.requests("POST");
            client.compose(QStringLiteral("soak %1").arg(round), QStringLiteral("07700900123"));
            client.send();
            QCOMPARE(chaos.requests("POST"), posts + 1);
            const QString status = client.ui().statusField->text();
            QVERIFY2(status.startsWith(QLatin1String("Message sent at")) ||
                         status.startsWith(QLatin1String("Message failed at")),
                     qPrintable(status));
            QVERIFY(client.ui().sendSMSButton->isEnabled());

            client.window->credits().updateCredits();
            QVERIFY(creditsDone.wait(5000));
            const QString shown = client.ui().creditsDisplay->text();
            bool number = false;
            const qint64 figure = shown.toLongLong(&number);
            // Each accepted message costs a credit; a cut answer ("998" of "99873") falls out.
            QVERIFY2(!number || (figure <= credits && figure >= credits - round - 1),
                     qPrintable(shown));

            client.window->history().refreshMsgHistory();
            QVERIFY(historyDone.wait(5000));
            // The history only grows; half a document would show fewer rows.
            QVERIFY(client.window->history().rowCount() >= rowsShown);
            rowsShown = client.window->history().rowCount();
        }
        qInfo("POSTs: %d, GETs that reached the service: %d", chaos.requests("POST"),
              chaos.requests("GET"));
        for (int b = 0; b < int(ChaosProxy::Behaviour::Count); ++b)
            QVERIFY2(chaos.behaviours.value(ChaosProxy::Behaviour(b)) > 0,
                     qPrintable(QString::number(b)));
    }
};

QTEST_MAIN(TestChaos)
#include "tst_chaos.moc"
