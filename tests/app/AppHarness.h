#pragma once

#include "MainWindow.h"
#include "QuibboService.h"
#include "SendSMSPushed.h"
#include "TestPlatform.h"
#include "ui_MainWindow.h"

#include <QSignalSpy>
#include <QTest>

// The client's real windows against the simulator's server on loopback, with every other seam
// faked: what main() builds, with a test's hands on it.
struct AppHarness
{
    explicit AppHarness(std::chrono::milliseconds timeout = NetworkAccess::defaultTimeout,
                        const QString& contacts = AddressBook::defaultFolder())
        : test(timeout, contacts)
    {
        if (!service.listen())
            qFatal("the simulator cannot listen on loopback");
    }

    // A service's credentials as the client stores them.
    static StringDictionary stored(const QuibboService::Credentials& c)
    {
        return {{QStringLiteral("CompanyId"), c.companyId},
                {QStringLiteral("UserId"), c.userId},
                {QStringLiteral("Password"), c.password}};
    }

    // A configured client: an account on the simulator whose credentials are stored.
    void configure(const QString& email, qint64 credits)
    {
        test.settings.setDictionary(
            QStringLiteral("QuibboAPIConnectionParams"),
            stored(service.addAccount(email, QStringLiteral("secret"), credits)));
    }

    // Loads the windows and runs the launch handling, against another secure host if given.
    void open(const QUrl& secure = {})
    {
        window = std::make_unique<MainWindow>(
            test.platform(), ServiceEndpoints(secure.isEmpty() ? service.secureBaseUrl() : secure,
                                              service.publicBaseUrl()));
        // The window starts reading the address book in the background; tests that look at it
        // look at it read.
        if (!QTest::qWaitFor([this] { return test.addressBook.isRead(); }))
            qFatal("the address book was not read");
        window->launch();
    }

    Ui::MainWindow& ui() { return window->ui(); }

    void compose(const QString& message, const QString& number)
    {
        ui().messageField->setPlainText(message);
        ui().sendToComboBox->setEditText(number);
    }

    // Presses Send and waits on the event loop until the outcome is shown.
    void send()
    {
        QSignalSpy finished(&window->sender(), &SendSMSPushed::attemptFinished);
        ui().sendSMSButton->click();
        if (finished.isEmpty())
            QVERIFY(finished.wait(10'000));
    }

    QuibboService service;
    TestPlatform test;
    std::unique_ptr<MainWindow> window;
};
