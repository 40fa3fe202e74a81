#include "AddressBook.h"

#include "EdsContacts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <QPromise>

#include <thread>

AddressBook::AddressBook(QString folder, EdsContacts* desktop_, QObject* parent)
    : QObject(parent), root(std::move(folder)), desktop(desktop_)
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
    connect(&reading, &QFutureWatcher<Index>::finished, this, &AddressBook::collect);
    if (desktop) {
        connect(desktop, &EdsContacts::changed, this, [this] {
            refreshIfChanged();
            emit changed();
        });
    }
}

AddressBook::~AddressBook()
{
    // The read under way is abandoned: it stops at its next file, and is waited for no longer
    // than the file it is reading, so that it never outlives the client.
    reading.cancel();
    if (reader.joinable())
        reader.join();
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

QList<AddressBook::Person> AddressBook::search(const QString& prefix, qsizetype groupIndex)
{
    refreshIfChanged();
    const Group* group =
        groupIndex >= 0 && groupIndex < allGroups.size() ? &allGroups[groupIndex] : nullptr;
    QList<Person> found;
    for (const Person& person : everyone) {
        const bool matches =
            prefix.isEmpty() ||
            (person.firstName && person.firstName->startsWith(prefix, Qt::CaseInsensitive)) ||
            (person.lastName && person.lastName->startsWith(prefix, Qt::CaseInsensitive));
        if (matches && (groupIndex < 0 || (group && isMember(person, *group))))
            found.append(person);
    }
    return found;
}

QString AddressBook::selfUid() const
{
    QFile file(root + QStringLiteral("/self-contact-uid"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return VCard::bareUid(QString::fromUtf8(file.read(4096)).section(u'\n', 0, 0));
}

std::optional<AddressBook::Person> AddressBook::me()
{
    const QString uid = selfUid();
    if (uid.isEmpty())
        return std::nullopt;
    refreshIfChanged();
    for (const Person& person : everyone)
        if (person.uid == uid)
            return person;
    return std::nullopt;
}

bool AddressBook::isRead() const
{
    return read && (!desktop || !desktop->isStarted() || desktop->isSettled());
}

void AddressBook::refreshIfChanged()
{
    // Never a wait on the window's thread: the answer comes from the cards read so far.
    if (stale)
        prefetch();
    if (desktop) {
        desktop->start(); // the first question, not the start of the client, loads libebook
        if (desktop->revision() != mergedRevision)
            merge();
    }
}

void AddressBook::prefetch()
{
    if (!stale || reading.isRunning())
        return;
    pendingGeneration = generation;
    // A thread of its own, which nothing on the window's thread waits for; the last read has
    // ended (its result was collected), so its thread is only leaving.
    if (reader.joinable())
        reader.join();
    QPromise<Index> promise;
    promise.start(); // running from now, so that no second read starts beside it
    reading.setFuture(promise.future());
    reader = std::thread([promise = std::move(promise), folder = root, known = files]() mutable {
        promise.addResult(readIndex(folder, std::move(known), &promise));
        promise.finish();
    });
}

void AddressBook::collect()
{
    // If the folder changed since the read began, its cards still save reading the files that
    // did not change in the next one.
    install(reading.result());
    stale = pendingGeneration != generation;
    if (stale)
        prefetch();
    emit changed();
}

void AddressBook::install(Index index)
{
    files = std::move(index.files);
    folderContents = std::move(index.contents);
    watch(index.folders + files.keys());
    read = true;
    merge();
    // An own card the folder lacks may be one of the desktop's: asked for now, so that the
    // first selection another program sends finds it.
    if (desktop && !desktop->isStarted()) {
        const QString uid = selfUid();
        if (!uid.isEmpty() && std::none_of(everyone.cbegin(), everyone.cend(),
                                           [&uid](const Person& p) { return p.uid == uid; }))
            desktop->start();
    }
}

void AddressBook::merge()
{
    if (desktop)
        mergedRevision = desktop->revision();
    const QList<VCard> desktopCards = desktop ? desktop->cards() : QList<VCard>{};
    if (desktopCards.isEmpty()) {
        everyone = folderContents.everyone;
        allGroups = folderContents.groups;
        return;
    }
    Contents merged = folderContents;
    QSet<QString> seen;
    for (const Person& person : std::as_const(merged.everyone))
        seen.insert(person.uid);
    for (const VCard& card : desktopCards) {
        if (card.isGroup || !seen.contains(card.uid)) {
            seen.insert(card.uid);
            merged.add(card);
        }
    }
    everyone = std::move(merged.everyone);
    allGroups = std::move(merged.groups);
}

void AddressBook::Contents::add(const VCard& card)
{
    const auto groupNamed = [this](const QString& name) -> Group& {
        auto found = groupByName.constFind(name);
        if (found == groupByName.constEnd()) {
            found = groupByName.insert(name, groups.size());
            groups.append(Group{name, {}, false});
        }
        return groups[*found];
    };
    if (card.isGroup) {
        Group& group = groupNamed(card.formattedName.value_or(
            card.lastName.value_or(card.organization.value_or(QString()))));
        for (const QString& uid : card.memberUids)
            group.memberUids.insert(uid);
        return;
    }
    everyone.append(
        {card.uid, card.firstName, card.lastName, card.organization, card.phones, card.categories});
    for (const QString& category : card.categories)
        groupNamed(category).isCategory = true;
}

AddressBook::Index AddressBook::readIndex(const QString& root, QHash<QString, FileEntry> known,
                                          const QPromise<Index>* promise)
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
        if (promise && promise->isCanceled())
            return index; // nobody is waiting for it any more
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

    for (const QString& path : std::as_const(paths))
        for (const VCard& card : std::as_const(index.files[path].cards))
            index.contents.add(card);
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
