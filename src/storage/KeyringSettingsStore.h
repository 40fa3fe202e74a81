#pragma once

#include "SettingsStore.h"

#include <QDBusConnection>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <chrono>

class JsonFileSettingsStore;
class KeyringThread;
class StorageStatus;

// The settings store with the account's two passwords in the desktop's keyring (the Secret
// Service, through QtKeychain) instead of the settings file; every other key and entry stays in
// the file, and the typed reads return the same dictionaries as a file holding them all.
//
// A password leaves the file only once the keyring has confirmed it holds it, so a keyring that
// refuses, or is not there, leaves the client working from the file as before; the same move
// takes a password an older install left in the file into the keyring on the first start.
//
// A password the file gave to the keyring but the keyring will not hand out now (it is locked
// and its prompt was dismissed, or it is gone from the bus) is withheld, not absent: the account
// stays configured, the storage status tells the user, and the keyring is asked again the next
// time a password is needed.
//
// Nothing here waits: the keyring is asked on a thread of its own from the start, and whoever
// needs a password asks whenPasswordsRead().
class KeyringSettingsStore : public QObject, public SettingsStore
{
    Q_OBJECT
public:
    // passwordEntries: the dictionaries that hold a password, and the entry that holds it in each.
    // keyring: where the keyring is asked; bus: where it is asked whether it is locked.
    KeyringSettingsStore(JsonFileSettingsStore& file, QMap<QString, QString> passwordEntries,
                         KeyringThread& keyring, QDBusConnection bus,
                         StorageStatus* status = nullptr, QObject* parent = nullptr);
    // The quit: waits for the writes still on their way, for at most 2 s.
    ~KeyringSettingsStore() override;

    void whenPasswordsRead(QObject* context, std::function<void()> then) override;
    bool passwordsKeptInFile() const override { return keeper == Keeper::File; }
    bool isPasswordWithheld(const QString& key) const override { return withheld.contains(key); }
    // At a quit: lets the keyring finish taking the passwords still on their way, for at most
    // limit, without serving anything else meanwhile. (Those it has not confirmed are in the file
    // meanwhile.) The store asks the keyring nothing more afterwards.
    void waitForWrites(std::chrono::milliseconds limit);

protected:
    QJsonValue value(const QString& key) const override;
    void setValue(const QString& key, const QJsonValue& value) override;

private:
    enum class Keeper
    {
        Unknown, // nothing asked of the keyring has been answered either way yet
        Keyring,
        File
    };
    enum class Kind
    {
        Read,
        Write,
        Delete
    };

    // Asks the keyring; done gets the answer unless the store is gone by then.
    void run(Kind kind, const QString& key, const QString& password,
             std::function<void(int error, const QString& text)> done);
    void read(const QString& key);
    void readAnswered(const QString& key, int error, const QString& text);
    // The keyring said it has no such password: it may only be locked.
    void askWhetherLocked(const QString& key);
    void readEnded(const QString& key);
    void keep(const QString& key, const QString& password);
    void forget(const QString& key);
    // notAnswering: the keyring's service did not answer at all, rather than refuse.
    void setWithheld(const QString& key, bool isWithheld, bool notAnswering = false);
    // The file's dictionary under `key` with its password entry set, or removed when absent.
    void rewriteFileEntry(const QString& key, const std::optional<QString>& password);
    std::optional<QString> passwordInFile(const QString& key) const;
    // Whether the file keeps the dictionary under `key` without its password: the keyring was
    // holding it.
    bool keyringHeld(const QString& key) const;

    SettingsStore& file;
    const QMap<QString, QString> passwordEntries;
    const QString service;
    KeyringThread& keyring;
    QDBusConnection bus;
    StorageStatus* status;
    bool closed = false;
    Keeper keeper = Keeper::Unknown;
    int readsPending = 0;
    int writesPending = 0;
    // The passwords the keyring holds or is being asked to hold, by settings key.
    QMap<QString, QString> kept;
    QSet<QString> withheld;
    QSet<QString> unanswered; // of those withheld, the ones no keyring answered for
    QList<QPair<QPointer<QObject>, std::function<void()>>> waiting;
};
