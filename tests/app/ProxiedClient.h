#pragma once

#include "AppHarness.h"
#include "ChaosProxy.h"
#include "MsgHistoryDataSource.h"

#include <QEventLoop>
#include <QTimer>

// The client against the simulator behind a proxy that loses what a test tells it to, and that
// can stop listening (the service out of reach: nothing leaves this machine) and come back.
struct ProxiedClient : AppHarness
{
    using Behaviour = ChaosProxy::Behaviour;

    explicit ProxiedClient(qint64 credits = 100,
                           std::chrono::milliseconds timeout = std::chrono::seconds(60),
                           const QString& contacts = AddressBook::defaultFolder())
        : AppHarness(timeout, contacts), proxy(service.secureBaseUrl(), 1)
    {
        proxy.drawFrom({Behaviour::PassThrough});
        if (!proxy.listen())
            qFatal("the proxy cannot listen on loopback");
        url = proxy.url();
        configure(QStringLiteral("ann@example.test"), credits);
        open(url);
    }

    void serviceDown() { proxy.close(); }
    void serviceBack() { QVERIFY(proxy.listen(QHostAddress::LocalHost, quint16(url.port()))); }
    // A quit and a start: the windows go and come again over the same files.
    void restart()
    {
        window.reset();
        open(url);
    }

    // The history as it stands now, held as the listing sends are judged by.
    void readHistory()
    {
        QSignalSpy fetched(&window->history(), &MsgHistoryDataSource::fetchFinished);
        window->history().refreshMsgHistory();
        QVERIFY(fetched.wait());
    }

    // Presses Send and waits for the outcome, letting the clock run through the check's second
    // look when the first found nothing.
    void pressSend()
    {
        QEventLoop loop;
        bool finished = false;
        QObject context;
        QObject::connect(&window->sender(), &SendSMSPushed::attemptFinished, &context, [&] {
            finished = true;
            loop.quit();
        });
        // A look that found nothing is followed by the second one: the clock moves on for it.
        QObject::connect(&window->history(), &MsgHistoryDataSource::fetchFinished, &context, [&] {
            QTimer::singleShot(0, &context, [&] {
                if (!finished)
                    test.time.advance(std::chrono::seconds(10));
            });
        });
        QTimer::singleShot(std::chrono::seconds(20), &loop, &QEventLoop::quit);
        ui().sendSMSButton->click();
        if (!finished)
            loop.exec();
        QVERIFY(finished);
    }

    ChaosProxy proxy;
    QUrl url;
};
