#include "AddressBook.h"
#include "ApplicationLauncher.h"
#include "CanberraSoundPlayer.h"
#include "Clock.h"
#include "DesktopUrlOpener.h"
#include "JsonFileSettingsStore.h"
#include "MainWindow.h"
#include "MessageBoxAlerts.h"
#include "NetworkAccess.h"
#include "ServiceEndpoints.h"
#include "SetupAssistantController.h"
#include "TimerSource.h"

#include <QApplication>
#include <QNetworkAccessManager>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quibbo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quibbo"));
    QApplication::setApplicationVersion(QStringLiteral(QUIBBO_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("quibbo"));

    JsonFileSettingsStore settings(JsonFileSettingsStore::defaultFilePath());
    CanberraSoundPlayer sounds;
    DesktopUrlOpener urls;
    MessageBoxAlerts alerts;
    QtTimerSource timers;
    SystemClock clock;
    QNetworkAccessManager manager;
    NetworkAccess network(manager);
    AddressBook addressBook(AddressBook::defaultFolder());
    DesktopApplicationLauncher launcher;
    const Platform platform{settings, sounds,  urls,        alerts,  timers,
                            clock,    network, addressBook, launcher};

    MainWindow window(platform, ServiceEndpoints::fromEnvironment());
    alerts.setWindow(&window);
    QObject::connect(&window.setup(), &SetupAssistantController::quitRequested, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    window.launch();
    return QApplication::exec();
}
