#pragma once

class AddressBook;
class Alerts;
class ApplicationLauncher;
class Clock;
class DesktopNotifications;
class DraftStore;
class NetworkAccess;
class NetworkMonitor;
class JournalFile;
class Settings;
class SoundPlayer;
class StorageStatus;
class TimerSource;
class UrlOpener;

// The platform seams, made once in main() (or by a test with fakes) and handed to every
// controller's constructor. Each controller keeps only the references it uses.
struct Platform
{
    Settings& settings;
    SoundPlayer& sounds;
    UrlOpener& urls;
    Alerts& alerts;
    TimerSource& timers;
    Clock& clock;
    NetworkAccess& network;
    AddressBook& addressBook;
    ApplicationLauncher& launcher;
    DraftStore& drafts;
    DesktopNotifications& notifications;
    StorageStatus& storage;
    JournalFile& journal;
    NetworkMonitor& networkMonitor;
};
