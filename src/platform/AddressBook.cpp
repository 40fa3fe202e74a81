#include "AddressBook.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>

AddressBook::AddressBook(QString folder, QObject* parent) : QObject(parent), root(std::move(folder))
{
    const auto changedOnDisk = [this] {
        stale = true;
        ++generation;
        prefetch();
    };
    // A folder changes when a card file is added, removed or replaced; a file rewritten in
    // place changes only itself.
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, changedOnDisk);
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, changedOnDisk);
}

QString AddressBook::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/contacts");
}

const QList<AddressBook::Person>& AddressBook::people()
{
    refreshIfChanged();
    return everyone;
}

const QList<AddressBook::Group>& AddressBook::groups()
{
    refreshIfChanged();
    return allGroups;
}

bool AddressBook::isMember(const Person& person, const Group& group) const
{
    return (!person.uid.isEmpty() && group.memberUids.contains(person.uid)) ||
           (group.isCategory && person.categories.contains(group.name));
}

QList<const AddressBook::Person*> AddressBook::search(const QString& prefix, qsizetype groupIndex)
{
    refreshIfChanged();
    const Group* group =
        groupIndex >= 0 && groupIndex < allGroups.size() ? &allGroups[groupIndex] : nullptr;
    QList<const Person*> found;
    for (const Person& person : everyone) {
        const bool matches =
            prefix.isEmpty() ||
            (person.firstName && person.firstName->startsWith(prefix, Qt::CaseInsensitive)) ||
            (person.lastName && person.lastName->startsWith(prefix, Qt::CaseInsensitive));
        if (matches && (groupIndex < 0 || (group && isMember(person, *group))))
            found.append(&person);
    }
    return found;
}

std::optional<AddressBook::Person> AddressBook::me()
{
    QFile file(root + QStringLiteral("/self-contact-uid"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString uid = VCard::bareUid(QString::fromUtf8(file.read(4096)).section(u'\n', 0, 0));
    if (uid.isEmpty())
        return std::nullopt;
    refreshIfChanged();
    for (const Person& person : everyone)
        if (person.uid == uid)
            return person;
    return std::nullopt;
}

void AddressBook::refreshIfChanged()
{
    if (!stale)
        return;
    if (!pending.valid()) {
        // Never prefetched: there is nothing older to answer from.
        stale = false;
        install(readIndex(root, files));
        return;
    }
    // A small book is read by the time the question comes; a large one is not waited for:
    // the answer comes from the cards read before, and changed() follows the read.
    if (pending.wait_for(std::chrono::milliseconds(30)) == std::future_status::ready)
        takePending();
}

void AddressBook::prefetch()
{
    if (!stale || pending.valid())
        return;
    pendingGeneration = generation;
    const quint64 number = ++reads;
    pending = std::async(std::launch::async, [this, number, folder = root, known = files] {
        Index index = readIndex(folder, known);
        // Posted events die with the object; the future's destructor waits for this thread.
        QMetaObject::invokeMethod(
            this, [this, number] { collect(number); }, Qt::QueuedConnection);
        return index;
    });
}

void AddressBook::collect(quint64 number)
{
    // Posted once at the very end of every read, so that read's result is at most moments
    // away. A question may have taken it already, and a read started since is not waited for.
    if (number == reads && pending.valid())
        takePending();
    emit changed();
}

void AddressBook::takePending()
{
    // If the folder changed since the read began, its cards still save reading the files that
    // did not change in the next one.
    install(pending.get());
    stale = pendingGeneration != generation;
    if (stale)
        prefetch();
}

void AddressBook::install(Index index)
{
    files = std::move(index.files);
    everyone = std::move(index.everyone);
    allGroups = std::move(index.groups);
    watch(index.folders + files.keys());
    read = true;
}

AddressBook::Index AddressBook::readIndex(const QString& root, QHash<QString, FileEntry> known)
{
    Index index;
    QStringList paths;
    index.folders.append(root);
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir())
            index.folders.append(info.filePath());
        else if (info.suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0)
            paths.append(info.filePath());
    }
    paths.sort();

    for (const QString& path : std::as_const(paths)) {
        FileEntry entry = known.take(path);
        // A file read before is read again only when its size or time has changed; a new one
        // takes its size and time from the open file, which costs no second look-up.
        if (entry.size >= 0) {
            const QFileInfo info(path);
            if (entry.size == info.size() && entry.modified == info.lastModified()) {
                index.files.insert(path, std::move(entry));
                continue;
            }
        }
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray data = file.readAll();
            entry.size = data.size();
            entry.modified = file.fileTime(QFileDevice::FileModificationTime);
            entry.cards = parseVCards(data);
        } else {
            entry = FileEntry{};
        }
        index.files.insert(path, std::move(entry));
    }

    QHash<QString, qsizetype> groupByName;
    const auto groupNamed = [&index, &groupByName](const QString& name) -> Group& {
        auto found = groupByName.constFind(name);
        if (found == groupByName.constEnd()) {
            found = groupByName.insert(name, index.groups.size());
            index.groups.append(Group{name, {}, false});
        }
        return index.groups[*found];
    };
    for (const QString& path : std::as_const(paths)) {
        for (const VCard& card : std::as_const(index.files[path].cards)) {
            if (card.isGroup) {
                Group& group = groupNamed(card.formattedName.value_or(
                    card.lastName.value_or(card.organization.value_or(QString()))));
                for (const QString& uid : card.memberUids)
                    group.memberUids.insert(uid);
                continue;
            }
            index.everyone.append({card.uid, card.firstName, card.lastName, card.organization,
                                   card.phones, card.categories});
            for (const QString& category : card.categories)
                groupNamed(category).isCategory = true;
        }
    }
    return index;
}

void AddressBook::watch(const QStringList& paths)
{
    const QStringList watchedList = watcher.directories() + watcher.files();
    const QSet<QString> watched(watchedList.begin(), watchedList.end());
    const QSet<QString> wanted(paths.begin(), paths.end());
    for (const QString& path : watchedList)
        if (!wanted.contains(path))
            watcher.removePath(path);
    QStringList added;
    for (const QString& path : paths)
        if (!watched.contains(path) && QFileInfo::exists(path))
            added.append(path);
    if (!added.isEmpty())
        watcher.addPaths(added);
}
