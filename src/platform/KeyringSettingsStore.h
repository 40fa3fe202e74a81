#pragma once

#include "SettingsStore.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>

#include <chrono>

class JsonFileSettingsStore;

// The settings store with the account's two passwords in the desktop's keyring (the Secret
// Service, through QtKeychain) instead of the settings file; every other key and entry stays in
// the file, and the typed reads return the same dictionaries as a file holding them all.
//
// A password leaves the file only once the keyring has confirmed it holds it, so a keyring that
// refuses, or is not there, leaves the client working from the file as before; the same move
// takes a password an older install left in the file into the keyring on the first start.
// Nothing here waits: the keyring is read in the background from the start, and whoever needs a
// password asks whenPasswordsRead().
class KeyringSettingsStore : public QObject, public SettingsStore
{
    Q_OBJECT
public:
    // passwordEntries: the dictionaries that hold a password, and the entry that holds it in each.
    KeyringSettingsStore(JsonFileSettingsStore& file, QMap<QString, QString> passwordEntries,
                         QObject* parent = nullptr);

    void whenPasswordsRead(QObject* context, std::function<void()> then) override;
    bool passwordsKeptInFile() const override { return keeper == Keeper::File; }
    // At a quit: lets the keyring finish taking the passwords still on their way, for at most
    // limit. (Those it has not confirmed are in the file meanwhile.)
    void waitForWrites(std::chrono::milliseconds limit);

Q_SIGNALS:
    void writesEnded();

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

    void read(const QString& key);
    void keep(const QString& key, const QString& password);
    void forget(const QString& key);
    // The file's dictionary under `key` with its password entry set, or removed when absent.
    void rewriteFileEntry(const QString& key, const std::optional<QString>& password);
    std::optional<QString> passwordInFile(const QString& key) const;

    SettingsStore& file;
    const QMap<QString, QString> passwordEntries;
    const QString service;
    Keeper keeper = Keeper::Unknown;
    int readsPending = 0;
    int writesPending = 0;
    // The passwords the keyring holds or is being asked to hold, by settings key.
    QMap<QString, QString> kept;
    QList<QPair<QPointer<QObject>, std::function<void()>>> waiting;
};
