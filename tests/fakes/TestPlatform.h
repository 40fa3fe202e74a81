#pragma once

#include "AddressBook.h"
#include "DesktopNotifications.h"
#include "DraftStore.h"
#include "FakeAlerts.h"
#include "FakeApplicationLauncher.h"
#include "FakeSoundPlayer.h"
#include "FakeTime.h"
#include "FakeUrlOpener.h"
#include "JournalStore.h"
#include "MemorySettingsStore.h"
#include "NetworkAccess.h"
#include "NetworkMonitor.h"
#include "Platform.h"
#include "Settings.h"
#include "StorageStatus.h"

#include <QTemporaryDir>

// The desktop's word that a network is up, given by the test.
class FakeNetworkMonitor : public NetworkMonitor
{
public:
    void watch() override { watching = true; }
    bool watching = false;
};

// Every seam faked except the network, which tests use for real against a server on loopback,
// and the address book, which reads a folder the test chooses.
struct TestPlatform
{
    explicit TestPlatform(std::chrono::milliseconds timeout = NetworkAccess::defaultTimeout,
                          const QString& contacts = AddressBook::defaultFolder())
        : network(timeout), addressBook(contacts),
          drafts(stateFolder.filePath(QStringLiteral("quibbo/draft.json")), &storage),
          journal(stateFolder.filePath(QStringLiteral("quibbo/outbox.json")), &storage)
    {}

    // With another address book where a test gives one (one with the desktop's books).
    Platform platform(AddressBook* book = nullptr)
    {
        if (!typedSettings)
            typedSettings.emplace(*settingsInUse);
        return {*typedSettings, sounds,        urls,          alerts,
                time,           time,          network,       book ? *book : addressBook,
                launcher,       drafts,        notifications, storage,
                journal,        networkMonitor};
    }

    MemorySettingsStore settings;
    // A test of another store points this at it before the first platform() is made.
    SettingsStore* settingsInUse = &settings;
    std::optional<Settings> typedSettings;
    FakeSoundPlayer sounds;
    FakeUrlOpener urls;
    FakeAlerts alerts;
    FakeTime time;
    StorageStatus storage{time};
    NetworkAccess network;
    AddressBook addressBook;
    FakeApplicationLauncher launcher;
    QTemporaryDir stateFolder;
    DraftStore drafts;
    JournalStore journal;
    FakeNetworkMonitor networkMonitor;
    // The session bus of the test, if it has one: tests serve the notifications themselves.
    DesktopNotifications notifications{QDBusConnection::sessionBus(),
                                       QStringLiteral("example.quibbo.Quibbo")};
};
