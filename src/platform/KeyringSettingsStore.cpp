#include "KeyringSettingsStore.h"

#include "JsonFileSettingsStore.h"

#include <QEventLoop>
#include <QJsonObject>
#include <QTimer>

#include <qt6keychain/keychain.h>

KeyringSettingsStore::KeyringSettingsStore(JsonFileSettingsStore& file_,
                                           QMap<QString, QString> passwordEntries_, QObject* parent)
    : QObject(parent), file(file_), passwordEntries(std::move(passwordEntries_)),
      // Named after the settings file, so a second profile (the demo's, say) keeps its own.
      service(QStringLiteral("Quibbo ") + file_.filePath())
{
    readsPending = int(passwordEntries.size());
    // Asked once the event loop runs: the window is up before the keyring is first touched.
    QTimer::singleShot(0, this, [this] {
        for (const QString& key : passwordEntries.keys())
            read(key);
    });
}

void KeyringSettingsStore::whenPasswordsRead(QObject* context, std::function<void()> then)
{
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
    if (entry.isEmpty() || !password.isString()) {
        file.setValue(key, value);
        if (kept.contains(key))
            forget(key);
        return;
    }
    kept.insert(key, password.toString());
    if (keeper == Keeper::File) {
        file.setValue(key, value);
        return;
    }
    // The password stays in the file until the keyring has confirmed it holds it: a quit or a
    // crash meanwhile must not bring the old one back.
    file.setValue(key, value);
    keep(key, password.toString());
}

// The jobs are not the store's children: the keyring's library may still call into a job after
// the store has gone. Each deletes itself when it ends.
void KeyringSettingsStore::read(const QString& key)
{
    auto* job = new QKeychain::ReadPasswordJob(service);
    job->setKey(key);
    connect(job, &QKeychain::Job::finished, this, [this, job, key] {
        if (job->error() == QKeychain::NoError) {
            keeper = Keeper::Keyring;
            kept.insert(key, job->textData());
        } else if (job->error() != QKeychain::EntryNotFound) {
            qInfo("The keyring did not answer (%s); passwords stay in the settings file.",
                  qPrintable(job->errorString()));
            keeper = Keeper::File;
        }
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
    });
    job->start();
}

void KeyringSettingsStore::keep(const QString& key, const QString& password)
{
    auto* job = new QKeychain::WritePasswordJob(service);
    job->setKey(key);
    job->setTextData(password);
    ++writesPending;
    connect(job, &QKeychain::Job::finished, this, [this, job, key, password] {
        if (--writesPending == 0)
            emit writesEnded();
        if (job->error() == QKeychain::NoError) {
            keeper = Keeper::Keyring;
            if (passwordInFile(key) == password)
                rewriteFileEntry(key, std::nullopt);
            return;
        }
        qInfo("The keyring refused a password (%s); passwords stay in the settings file.",
              qPrintable(job->errorString()));
        keeper = Keeper::File;
        if (kept.value(key) == password && !passwordInFile(key))
            rewriteFileEntry(key, password);
    });
    job->start();
}

void KeyringSettingsStore::forget(const QString& key)
{
    kept.remove(key);
    auto* job = new QKeychain::DeletePasswordJob(service);
    job->setKey(key);
    job->start();
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

void KeyringSettingsStore::waitForWrites(std::chrono::milliseconds limit)
{
    if (writesPending == 0)
        return;
    QEventLoop loop;
    connect(this, &KeyringSettingsStore::writesEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    loop.exec();
}
