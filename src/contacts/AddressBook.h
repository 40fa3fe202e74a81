#pragma once

#include "VCard.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>

#include <QFutureWatcher>
#include <QPromise>

#include <thread>

class EdsContacts;

// The user's address book: every *.vcf file below a folder ($XDG_DATA_HOME/contacts by
// default) and, where given, the desktop's address books; read only. A card in both (the same
// UID) counts once, as the folder has it. The cards are kept in an index that is brought up to
// date, file by file, after the folder or a file changed; so a search never re-reads the files. The
// index is read on a thread of its own (at start, on every change, and at a question asked before
// any), and nothing waits for that read: a question is answered from the cards read so far,
// and changed() follows the read. A read still under way at a quit stops at its next file, and
// the quit waits for it to end.
class AddressBook : public QObject
{
    Q_OBJECT
public:
    struct Person
    {
        QString uid;
        std::optional<QString> firstName;
        std::optional<QString> lastName;
        std::optional<QString> organization;
        QList<VCard::Phone> phones;
        QStringList categories;
    };
    struct Group
    {
        QString name;
        QSet<QString> memberUids; // from the group's card
        bool isCategory = false;  // also everyone whose categories name it
    };

    // The desktop's books are asked for at the first question, not before.
    explicit AddressBook(QString folder, EdsContacts* desktop = nullptr, QObject* parent = nullptr);
    ~AddressBook() override;

    static QString defaultFolder();
    QString folder() const { return root; }

    // In the book's own order: by file path, then by place in the file; then the desktop's.
    const QList<Person>& people();
    const QList<Group>& groups();

    // Those whose first or last name begins with prefix, in any letter case, within a group
    // (or the whole book for a negative index); membership through a nested group does not
    // count. Copies, which stay valid when the next question finds the book re-read.
    QList<Person> search(const QString& prefix, qsizetype groupIndex);
    // The user's own card: the one whose UID stands in the file self-contact-uid at the root.
    std::optional<Person> me();

    bool isMember(const Person& person, const Group& group) const;

    // Starts reading the folder in the background when it is out of date.
    void prefetch();
    // Whether the answers come from a complete read of the folder and, once a question has
    // been asked, of the desktop's books (false before the first one).
    bool isRead() const;

Q_SIGNALS:
    // A read of the folder ended (at start, or after files were added, changed or removed), or
    // the desktop's books changed.
    void changed();

private:
    struct FileEntry
    {
        QDateTime modified;
        qint64 size = -1;
        QList<VCard> cards;
    };

    // People and groups from cards, in the order they are added.
    struct Contents
    {
        QList<Person> everyone;
        QList<Group> groups;
        QHash<QString, qsizetype> groupByName;
        void add(const VCard& card);
    };

    struct Index
    {
        QHash<QString, FileEntry> files;
        Contents contents;
        QStringList folders;
    };

    void refreshIfChanged();
    // The UID in self-contact-uid, or nothing.
    QString selfUid() const;
    void collect();
    void install(Index index);
    // The folder's people and groups, then the desktop's cards whose UID the folder lacks.
    void merge();
    // Stops early, with what it has, once the promise is canceled.
    static Index readIndex(const QString& root, QHash<QString, FileEntry> known,
                           const QPromise<Index>* promise = nullptr);
    // Watches the folders and the card files: nothing else.
    void watch(const QStringList& paths);

    QString root;
    EdsContacts* desktop;
    quint64 mergedRevision = 0; // of the desktop's cards in everyone
    QFileSystemWatcher watcher;
    bool stale = true;
    bool read = false;
    // Counts the folder's changes, so that a background read that began before the last one
    // is known to be out of date.
    quint64 generation = 0;
    quint64 pendingGeneration = 0;
    QFutureWatcher<Index> reading;
    std::thread reader;
    QHash<QString, FileEntry> files;
    Contents folderContents;
    QList<Person> everyone;
    QList<Group> allGroups;
};
