#include "AddressBook.h"
#include "ApplicationBus.h"
#include "ApplicationLauncher.h"
#include "CanberraSoundPlayer.h"
#include "ClientAddress.h"
#include "Clock.h"
#include "CommandLine.h"
#include "DeferredIconStyle.h"
#include "DesktopNotifications.h"
#include "DesktopUrlOpener.h"
#include "DraftStore.h"
#include "EdsContacts.h"
#include "InstalledTranslations.h"
#include "JournalStore.h"
#include "JsonFileSettingsStore.h"
#include "KeyringSettingsStore.h"
#include "KeyringThread.h"
#include "MainWindow.h"
#include "MessageBoxAlerts.h"
#include "NetworkAccess.h"
#include "NetworkMonitor.h"
#include "ServiceEndpoints.h"
#include "ServicesRequestWindow.h"
#include "Settings.h"
#include "SmsUri.h"
#include "StorageStatus.h"
#include "TerminationSignals.h"
#include "TimerSource.h"
#include "Translations.h"
#include "XdgActivation.h"

#include <QApplication>
#include <QDBusConnection>
#include <QLocale>

#include <optional>

int main(int argc, char* argv[])
{
    // Answered before the application exists, so that --help and --version need no display, in
    // the user's language.
    InstalledTranslations translations;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine{
        QStringLiteral("quibbo"), QStringLiteral("[sms:LINK]"),
        Translations::translate(translations.client(), "main",
                                QT_TRANSLATE_NOOP("main", "Send text messages through your Quibbo "
                                                          "account.")),
        QStringLiteral(QUIBBO_VERSION), &translations.client()};
    const std::variant<QStringList, CommandLine::Answer> read = commandLine.read(arguments);
    if (const auto* answer = std::get_if<CommandLine::Answer>(&read))
        return CommandLine::print(*answer);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quibbo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quibbo"));
    QApplication::setApplicationVersion(QStringLiteral(QUIBBO_VERSION));
    QGuiApplication::setDesktopFileName(ClientAddress::busName);
    QApplication::setStyle(new DeferredIconStyle);

    // An sms: link as the argument (the desktop opens such links with the client).
    std::optional<QString> link;
    for (const QString& argument : std::get<QStringList>(read))
        if (parseSmsUri(argument))
            link = argument;

    // One client per session: the name is taken before anything is read, and a second start,
    // however close behind, finds it taken and hands its link to the first.
    QDBusConnection bus = QDBusConnection::sessionBus();
    ApplicationBus applicationBus(bus);
    if (applicationBus.claim() == ApplicationBus::Claim::Taken)
        return ApplicationBus::handOver(bus, link, ClientAddress::startupToken()) ? 0 : 1;

    translations.install();

    QtTimerSource timers;
    StorageStatus storage(timers);
    JsonFileSettingsStore settingsFile(JsonFileSettingsStore::defaultFilePath(), &storage);
    KeyringThread keyring(bus);
    KeyringSettingsStore settingsStore(settingsFile, Settings::passwordEntries(), keyring, bus,
                                       &storage);
    Settings settings(settingsStore);
    CanberraSoundPlayer sounds;
    DesktopUrlOpener urls;
    MessageBoxAlerts alerts;
    SystemClock clock;
    NetworkAccess network;
    EdsContacts desktopContacts;
    AddressBook addressBook(AddressBook::defaultFolder(), &desktopContacts);
    DesktopApplicationLauncher launcher;
    DraftStore drafts(DraftStore::defaultFilePath(), &storage);
    DesktopNotifications notifications(bus, ClientAddress::busName);
    JournalStore journal(JournalStore::defaultFilePath(), &storage);
    GioNetworkMonitor networkMonitor;
    const Platform platform{settings,      sounds,  urls,        alerts,        timers,
                            clock,         network, addressBook, launcher,      drafts,
                            notifications, storage, journal,     networkMonitor};

    MainWindow window(platform, ServiceEndpoints::fromEnvironment());
    alerts.setWindow(&window);
    window.show();
    XdgActivation::prepare();
    window.launch();
    TerminationSignals::quitOnThem();
    // Other programs' calls held since the start are served from here on.
    const auto services = [&window]() -> ServicesClass& {
        return window.servicesRequestWindow().services();
    };
    applicationBus.attach(services);
    if (link)
        services().openSmsUri(*parseSmsUri(*link), {});
    // The settings store, when it goes after the window, lets the keyring finish its last write.
    return QApplication::exec();
}
