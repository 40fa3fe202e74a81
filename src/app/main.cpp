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
#include "HistoryCommand.h"
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

namespace {
// The history's export from the command line: no window, no display, and not the client's bus
// name, so that it runs beside a running client.
int exportHistory(int argc, char* argv[], InstalledTranslations& translations,
                  const QString& target)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quibbo"));
    translations.install();
    QDBusConnection bus = QDBusConnection::sessionBus();
    JsonFileSettingsStore settingsFile(JsonFileSettingsStore::defaultFilePath());
    KeyringThread keyring(bus);
    KeyringSettingsStore settingsStore(settingsFile, Settings::passwordEntries(), keyring, bus);
    Settings settings(settingsStore);
    NetworkAccess network;
    AddressBook addressBook(AddressBook::defaultFolder());
    HistoryCommand command(settings, network, addressBook, ServiceEndpoints::fromEnvironment());
    QObject::connect(&command, &HistoryCommand::finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    command.run(target);
    return QCoreApplication::exec();
}
} // namespace

int main(int argc, char* argv[])
{
    // Answered before the application exists, so that --help and --version need no display, in
    // the user's language.
    InstalledTranslations translations;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const auto translated = [&translations](const char* text) {
        return Translations::translate(translations.client(), "main", text);
    };
    const CommandLine commandLine{
        QStringLiteral("quibbo"),
        QStringLiteral("[sms:LINK]"),
        translated(QT_TRANSLATE_NOOP("main", "Send text messages through your Quibbo account.")),
        QStringLiteral(QUIBBO_VERSION),
        &translations.client(),
        CommandLine::Option{QStringLiteral("--export-history"), QStringLiteral("FILE"),
                            translated(QT_TRANSLATE_NOOP(
                                "main", "write the whole history to FILE as CSV (- for standard "
                                        "output) and exit"))}};
    const std::variant<CommandLine::Run, CommandLine::Answer> read = commandLine.read(arguments);
    if (const auto* answer = std::get_if<CommandLine::Answer>(&read))
        return CommandLine::print(*answer);
    if (const std::optional<QString> exportTo = std::get<CommandLine::Run>(read).optionValue)
        return exportHistory(argc, argv, translations, *exportTo);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quibbo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quibbo"));
    QApplication::setApplicationVersion(QStringLiteral(QUIBBO_VERSION));
    QGuiApplication::setDesktopFileName(ClientAddress::busName);
    QApplication::setStyle(new DeferredIconStyle);

    // An sms: link as the argument (the desktop opens such links with the client).
    std::optional<QString> link;
    for (const QString& argument : std::get<CommandLine::Run>(read).positional)
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
