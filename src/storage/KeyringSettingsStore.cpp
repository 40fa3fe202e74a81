#include "KeyringSettingsStore.h"

#include "JsonFileSettingsStore.h"
#include "KeyringThread.h"
#include "StorageStatus.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QJsonObject>
#include <QTimer>

#include <qt6keychain/keychain.h>

namespace {
const QString secretService = QStringLiteral("org.freedesktop.secrets");
} // namespace

KeyringSettingsStore::KeyringSettingsStore(JsonFileSettingsStore& file_,
                                           QMap<QString, QString> passwordEntries_,
                                           KeyringThread& keyring_, QDBusConnection bus_,
                                           StorageStatus* status_, QObject* parent)
    : QObject(parent), file(file_), passwordEntries(std::move(passwordEntries_)),
      // Named after the settings file, so a second profile (the demo's, say) keeps its own.
      service(QStringLiteral("Quibbo ") + file_.filePath()), keyring(keyring_),
      bus(std::move(bus_)), status(status_)
{
    readsPending = int(passwordEntries.size());
    // Asked once the event loop runs: the window is up before the keyring is first touched.
    QTimer::singleShot(0, this, [this] {
        for (const QString& key : passwordEntries.keys())
            read(key);
    });
}

void KeyringSettingsStore::run(Kind kind, const QString& key, const QString& password,
                               std::function<void(int error, const QString& text)> done)
{
    if (closed)
        return;
    keyring.run(
        [kind, key, password, service = service]() -> QKeychain::Job* {
            QKeychain::Job* job = nullptr;
            if (kind == Kind::Read) {
                job = new QKeychain::ReadPasswordJob(service);
            } else if (kind == Kind::Write) {
                auto* write = new QKeychain::WritePasswordJob(service);
                write->setTextData(password);
                job = write;
            } else {
                job = new QKeychain::DeletePasswordJob(service);
            }
            job->setKey(key);
            return job;
        },
        [store = QPointer<KeyringSettingsStore>(this),
         done = std::move(done)](const KeyringThread::Answer& answer) {
            if (store)
                done(answer.error, answer.error ? answer.errorText : answer.password);
        });
}

void KeyringSettingsStore::whenPasswordsRead(QObject* context, std::function<void()> then)
{
    // A password the keyring withheld is asked for again now that it is needed: the keyring may
    // show its unlock prompt once more.
    if (readsPending == 0) {
        for (const QString& key : std::as_const(withheld)) {
            ++readsPending;
            read(key);
        }
    }
    if (readsPending == 0)
        then();
    else
        waiting.append({context, std::move(then)});
}

QJsonValue KeyringSettingsStore::value(const QString& key) const
{
    const QJsonValue stored = file.value(key);
    if (!stored.isObject() || !kept.contains(key))
        return stored;
    QJsonObject dictionary = stored.toObject();
    // A password still in the file is one the keyring has not confirmed yet: the newer one.
    const QString entry = passwordEntries.value(key);
    if (!dictionary.contains(entry))
        dictionary.insert(entry, kept.value(key));
    return dictionary;
}

void KeyringSettingsStore::setValue(const QString& key, const QJsonValue& value)
{
    const QString entry = passwordEntries.value(key);
    const QJsonValue password = value.toObject().value(entry);
    if (!entry.isEmpty())
        setWithheld(key, false); // a new password, or none on purpose
    if (entry.isEmpty() || !password.isString()) {
        file.setValue(key, value);
        if (kept.contains(key))
            forget(key);
        return;
    }
    kept.insert(key, password.toString());
    // The password stays in the file until the keyring has confirmed it holds it: a quit or a
    // crash meanwhile must not bring the old one back.
    file.setValue(key, value);
    if (keeper != Keeper::File)
        keep(key, password.toString());
}

void KeyringSettingsStore::read(const QString& key)
{
    run(Kind::Read, key, {},
        [this, key](int error, const QString& text) { readAnswered(key, error, text); });
}

// text: the password, or why there is none.
void KeyringSettingsStore::readAnswered(const QString& key, int error, const QString& text)
{
    if (error == QKeychain::NoError) {
        keeper = Keeper::Keyring;
        kept.insert(key, text);
        setWithheld(key, false);
    } else if (error == QKeychain::EntryNotFound) {
        // A locked keyring whose unlock prompt was dismissed answers the same.
        if (keyringHeld(key)) {
            askWhetherLocked(key);
            return;
        }
        setWithheld(key, false);
    } else {
        qInfo("The keyring did not answer (%s); passwords stay in the settings file.",
              qPrintable(text));
        keeper = Keeper::File;
        setWithheld(key, keyringHeld(key), true);
    }
    readEnded(key);
}

void KeyringSettingsStore::askWhetherLocked(const QString& key)
{
    QDBusMessage ask = QDBusMessage::createMethodCall(
        secretService, QStringLiteral("/org/freedesktop/secrets/aliases/default"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << QStringLiteral("org.freedesktop.Secret.Collection") << QStringLiteral("Locked");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key](QDBusPendingCallWatcher* answered) {
                const QDBusPendingReply<QDBusVariant> locked = *answered;
                setWithheld(key, locked.isValid() && locked.value().variant().toBool());
                answered->deleteLater();
                readEnded(key);
            });
}

void KeyringSettingsStore::readEnded(const QString& key)
{
    // An older install, or a run without a keyring, left this password in the file.
    if (const std::optional<QString> inFile = passwordInFile(key);
        inFile && keeper != Keeper::File) {
        kept.insert(key, *inFile);
        keep(key, *inFile);
    }
    if (--readsPending > 0)
        return;
    for (const auto& [context, then] : std::exchange(waiting, {}))
        if (context)
            then();
}

void KeyringSettingsStore::keep(const QString& key, const QString& password)
{
    ++writesPending;
    run(Kind::Write, key, password, [this, key, password](int error, const QString& text) {
        --writesPending;
        if (error == QKeychain::NoError) {
            keeper = Keeper::Keyring;
            if (passwordInFile(key) == password)
                rewriteFileEntry(key, std::nullopt);
            return;
        }
        qInfo("The keyring refused a password (%s); passwords stay in the settings file.",
              qPrintable(text));
        keeper = Keeper::File;
        if (kept.value(key) == password && !passwordInFile(key))
            rewriteFileEntry(key, password);
    });
}

void KeyringSettingsStore::forget(const QString& key)
{
    kept.remove(key);
    run(Kind::Delete, key, {}, [](int, const QString&) {});
}

void KeyringSettingsStore::setWithheld(const QString& key, bool isWithheld, bool notAnswering)
{
    if (isWithheld)
        withheld.insert(key);
    else
        withheld.remove(key);
    if (notAnswering && isWithheld)
        unanswered.insert(key);
    else
        unanswered.remove(key);
    if (status)
        status->setPasswordsWithheld(withheld.isEmpty() ? StorageStatus::Withheld::No
                                     : unanswered.isEmpty()
                                         ? StorageStatus::Withheld::Locked
                                         : StorageStatus::Withheld::NotAnswering);
}

void KeyringSettingsStore::rewriteFileEntry(const QString& key,
                                            const std::optional<QString>& password)
{
    const QJsonValue stored = file.value(key);
    if (!stored.isObject())
        return;
    QJsonObject dictionary = stored.toObject();
    const QString entry = passwordEntries.value(key);
    if (password)
        dictionary.insert(entry, *password);
    else
        dictionary.remove(entry);
    file.setValue(key, dictionary);
}

std::optional<QString> KeyringSettingsStore::passwordInFile(const QString& key) const
{
    const QJsonValue password = file.value(key).toObject().value(passwordEntries.value(key));
    if (!password.isString())
        return std::nullopt;
    return password.toString();
}

bool KeyringSettingsStore::keyringHeld(const QString& key) const
{
    const QJsonObject stored = file.value(key).toObject();
    return !stored.isEmpty() && !stored.contains(passwordEntries.value(key));
}

KeyringSettingsStore::~KeyringSettingsStore()
{
    waitForWrites(std::chrono::seconds(2));
}

void KeyringSettingsStore::waitForWrites(std::chrono::milliseconds limit)
{
    closed = true;
    if (writesPending > 0)
        keyring.waitForJobs(limit);
}
