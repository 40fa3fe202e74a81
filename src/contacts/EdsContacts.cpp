#include "EdsContacts.h"

#include "EdsLibrary.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

// What an asynchronous call needs when it ends, which may be after the client is gone, or after
// the books it was for were let go.
struct EdsContacts::Pending
{
    QPointer<EdsContacts> owner;
    QString sourceUid;
    quint64 generation = 0;
};

namespace {
// The registry's and the address-book factory's services; their version suffixes have changed
// over the years.
constexpr QLatin1StringView registryPrefix("org.gnome.evolution.dataserver.Sources");
constexpr QLatin1StringView factoryPrefix("org.gnome.evolution.dataserver.AddressBook");
// How long the services' owners must stay unchanged before the books are asked for again.
constexpr std::chrono::milliseconds quietBeforeReconnecting(500);
// Every contact of a book.
constexpr char everyone[] = R"((contains "x-evolution-any-field" ""))";

// C calls GLib's callbacks: an exception (bad_alloc, say) must end there.
template <typename Body> void guarded(Body body) noexcept
{
    try {
        body();
    } catch (const std::exception& e) {
        qCCritical(lcEds) << "dropped an answer of the desktop's address book:" << e.what();
    }
}
} // namespace

EdsContacts::EdsContacts(QObject* parent) : QObject(parent), reconnect(new QTimer(this))
{
    reconnect->setSingleShot(true);
    reconnect->setInterval(quietBeforeReconnecting);
    connect(reconnect, &QTimer::timeout, this, &EdsContacts::reconnectOnceQuiet);
}

EdsContacts::~EdsContacts()
{
    if (!lib)
        return;
    // Calls still out end with "cancelled" and find no owner.
    lib->cancellableCancel(cancellable);
    for (auto& [uid, book] : books)
        dropBook(book);
    if (registry) {
        lib->signalDisconnect(registry, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
        lib->unref(registry);
    }
    lib->unref(cancellable);
}

void EdsContacts::start()
{
    if (started)
        return;
    started = true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        absent = true;
        return;
    }
    // Running, or started by the bus on the first call: either will do.
    const auto ask = [&bus](const QString& method) {
        return bus.asyncCall(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), method));
    };
    auto* running = new QDBusPendingCallWatcher(ask(QStringLiteral("ListNames")), this);
    auto* activatable =
        new QDBusPendingCallWatcher(ask(QStringLiteral("ListActivatableNames")), this);
    const auto answered = [this, running, activatable] {
        if (!running->isFinished() || !activatable->isFinished())
            return;
        // Both answers may be in before either is announced: the second announcement finds
        // the work done.
        running->disconnect(this);
        activatable->disconnect(this);
        const QStringList names = QDBusPendingReply<QStringList>(*running).value() +
                                  QDBusPendingReply<QStringList>(*activatable).value();
        running->deleteLater();
        activatable->deleteLater();
        QStringList followed;
        for (const QString& name : names) {
            if (name.startsWith(registryPrefix) && registryService.isEmpty())
                registryService = name;
            if (name.startsWith(registryPrefix) || name.startsWith(factoryPrefix))
                followed.append(name);
        }
        if (registryService.isEmpty()) {
            absent = true;
            announce();
            return;
        }
        follow(followed);
        startRegistry();
    };
    connect(running, &QDBusPendingCallWatcher::finished, this, answered);
    connect(activatable, &QDBusPendingCallWatcher::finished, this, answered);
}

void EdsContacts::startRegistry()
{
    lib = EdsLibrary::get();
    if (!lib) {
        qCWarning(lcEds) << "the desktop's address book is on the bus, but libebook cannot be"
                         << "loaded; the contacts folder alone is read";
        absent = true;
        announce();
        return;
    }
    if (!cancellable)
        cancellable = lib->cancellableNew();
    absent = false;
    connecting = true;
    lib->registryNew(cancellable, onRegistry, new Pending{this, {}, generation});
}

void EdsContacts::follow(const QStringList& followed)
{
    services = new QDBusServiceWatcher(QString(), QDBusConnection::sessionBus(),
                                       QDBusServiceWatcher::WatchForOwnerChange, this);
    services->setWatchedServices(followed);
    connect(services, &QDBusServiceWatcher::serviceOwnerChanged, this, &EdsContacts::ownerChanged);
}

void EdsContacts::ownerChanged(const QString& service, const QString& oldOwner,
                               const QString& newOwner)
{
    if (service == registryService)
        registryRuns = !newOwner.isEmpty();
    if (!oldOwner.isEmpty()) {
        // Ended, or replaced: whatever was read through it is gone.
        qCInfo(lcEds) << service
                      << "ended; the desktop's address books are read again once it is back";
        dropBooks();
    }
    // The services end together (a crash, an update) and come back one after another: the
    // books are asked for once their owners have stopped changing, rather than of a service
    // that is going.
    reconnect->start();
}

void EdsContacts::reconnectOnceQuiet()
{
    if (connecting)
        return;
    if (!registry) {
        startRegistry();
    } else if (registryRuns) {
        // The registry follows its service across a restart by itself, and is kept: letting
        // go of it waits on the thread it talks to the service from.
        absent = false;
        syncBooks();
        if (books.empty())
            announce();
    } else {
        // Ended alone, it is started again by the next program that asks, which may be none
        // (the books' service stays): this client asks.
        QDBusMessage start = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("StartServiceByName"));
        start << registryService << 0u;
        auto* asked =
            new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(start), this);
        connect(asked, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher* answer) {
                    answer->deleteLater();
                    if (!answer->isError() || registryRuns)
                        return; // its owner's coming says the rest
                    absent = true;
                    announce();
                });
    }
}

void EdsContacts::dropBooks()
{
    ++generation;
    connecting = false;
    if (!lib)
        return;
    // Calls still out end with "cancelled" and are for an earlier generation.
    lib->cancellableCancel(cancellable);
    lib->unref(cancellable);
    cancellable = lib->cancellableNew();
    for (auto& [uid, book] : books)
        dropBook(book);
    books.clear();
    announce();
}

bool EdsContacts::isCurrent(const Pending& pending) const
{
    return pending.generation == generation;
}

void EdsContacts::onRegistry(GObject*, GAsyncResult* result, void* data) noexcept
{
    const std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
    const EdsLibrary* lib = EdsLibrary::get();
    GError* error = nullptr;
    ESourceRegistry* registry = lib->registryNewFinish(result, &error);
    lib->warn("cannot reach the desktop's address books:", error);
    EdsContacts* owner =
        pending->owner && pending->owner->isCurrent(*pending) ? pending->owner.data() : nullptr;
    if (!owner) {
        if (registry)
            lib->unref(registry);
        return;
    }
    owner->connecting = false;
    guarded([&] {
        if (!registry) {
            owner->absent = true;
            owner->announce();
            return;
        }
        owner->registryReady(registry);
    });
}

void EdsContacts::registryReady(ESourceRegistry* found)
{
    registry = found;
    for (const char* signal :
         {"source-added", "source-removed", "source-enabled", "source-disabled"})
        lib->signalConnect(registry, signal, G_CALLBACK(onSourcesChanged), this, nullptr,
                           GConnectFlags(0));
    syncBooks();
    if (books.empty())
        announce(); // settled, with nothing to read
}

void EdsContacts::onSourcesChanged(ESourceRegistry*, ESource*, void* self) noexcept
{
    guarded([self] { static_cast<EdsContacts*>(self)->syncBooks(); });
}

void EdsContacts::syncBooks()
{
    GList* sources = lib->listEnabled(registry, E_SOURCE_EXTENSION_ADDRESS_BOOK);
    QSet<QString> enabled;
    for (GList* item = sources; item; item = item->next) {
        auto* source = static_cast<ESource*>(item->data);
        const QString uid = QString::fromUtf8(lib->sourceUid(source));
        enabled.insert(uid);
        if (books.contains(uid))
            continue;
        books[uid]; // connecting
        // Not waiting for an online book to reach its server: its cached cards come at once,
        // and the view passes on what the server changes later.
        lib->clientConnect(source, guint32(-1), cancellable, onClient,
                           new Pending{this, uid, generation});
    }
    lib->listFreeFull(sources, lib->unref);

    bool dropped = false;
    for (auto it = books.begin(); it != books.end();) {
        if (enabled.contains(it->first)) {
            ++it;
            continue;
        }
        dropped = dropped || !it->second.cards.isEmpty();
        dropBook(it->second);
        it = books.erase(it);
    }
    if (dropped)
        announce();
}

template <typename Object>
void EdsContacts::bookStepEnded(void* data, Object* object, GError* error,
                                void (EdsContacts::*next)(const QString&, Object*))
{
    const std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
    const EdsLibrary* lib = EdsLibrary::get();
    lib->warn("cannot read an address book of the desktop's:", error);
    EdsContacts* owner =
        pending->owner && pending->owner->isCurrent(*pending) ? pending->owner.data() : nullptr;
    if (!object) {
        if (owner)
            guarded([&] { owner->bookFailed(pending->sourceUid); });
        return;
    }
    if (!owner) {
        lib->unref(object);
        return;
    }
    guarded([&] { (owner->*next)(pending->sourceUid, object); });
}

void EdsContacts::onClient(GObject*, GAsyncResult* result, void* data) noexcept
{
    GError* error = nullptr;
    auto* client =
        reinterpret_cast<EBookClient*>(EdsLibrary::get()->clientConnectFinish(result, &error));
    bookStepEnded(data, client, error, &EdsContacts::bookConnected);
}

void EdsContacts::bookConnected(const QString& sourceUid, EBookClient* client)
{
    const auto found = books.find(sourceUid);
    if (found == books.end() || found->second.client) { // disabled meanwhile
        lib->unref(client);
        return;
    }
    found->second.client = client;
    lib->getView(client, everyone, cancellable, onView, new Pending{this, sourceUid, generation});
}

void EdsContacts::onView(GObject* source, GAsyncResult* result, void* data) noexcept
{
    GError* error = nullptr;
    EBookClientView* view = nullptr;
    EdsLibrary::get()->getViewFinish(reinterpret_cast<EBookClient*>(source), result, &view, &error);
    bookStepEnded(data, view, error, &EdsContacts::viewReady);
}

void EdsContacts::viewReady(const QString& sourceUid, EBookClientView* view)
{
    const auto found = books.find(sourceUid);
    if (found == books.end() || found->second.view) {
        lib->unref(view);
        return;
    }
    found->second.view = view;
    // The view first hands over every card of the book, then each change as it happens.
    lib->signalConnect(view, "objects-added", G_CALLBACK(onAdded), this, nullptr, GConnectFlags(0));
    lib->signalConnect(view, "objects-modified", G_CALLBACK(onAdded), this, nullptr,
                       GConnectFlags(0));
    lib->signalConnect(view, "objects-removed", G_CALLBACK(onRemoved), this, nullptr,
                       GConnectFlags(0));
    lib->signalConnect(view, "complete", G_CALLBACK(onComplete), this, nullptr, GConnectFlags(0));
    // The task holds the view until its start has been answered, however long that takes.
    GTask* task =
        lib->taskNew(view, nullptr, onViewStarted, new Pending{this, sourceUid, generation});
    lib->taskRunInThread(task, startView);
    lib->unref(task);
}

void EdsContacts::startView(GTask* task, void* view, void*, GCancellable*) noexcept
{
    const EdsLibrary* lib = EdsLibrary::get();
    GError* error = nullptr;
    lib->viewStart(static_cast<EBookClientView*>(view), &error);
    if (error)
        lib->taskReturnError(task, error);
    else
        lib->taskReturnBoolean(task, TRUE);
}

void EdsContacts::onViewStarted(GObject*, GAsyncResult* result, void* data) noexcept
{
    const std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
    const EdsLibrary* lib = EdsLibrary::get();
    GError* error = nullptr;
    if (lib->taskPropagateBoolean(reinterpret_cast<GTask*>(result), &error))
        return;
    lib->warn("cannot read an address book of the desktop's:", error);
    if (pending->owner && pending->owner->isCurrent(*pending))
        guarded([&] { pending->owner->bookFailed(pending->sourceUid); });
}

void EdsContacts::bookFailed(const QString& sourceUid)
{
    // Its cards are not waited for; it is tried again when the registry next changes.
    const auto found = books.find(sourceUid);
    if (found == books.end())
        return;
    dropBook(found->second);
    books.erase(found);
    announce();
}

void EdsContacts::onComplete(EBookClientView* view, const void*, void* self) noexcept
{
    auto* contacts = static_cast<EdsContacts*>(self);
    guarded([contacts, view] {
        if (Book* book = contacts->bookOf(view)) {
            book->complete = true;
            contacts->announce();
        }
    });
}

bool EdsContacts::isSettled() const
{
    if (absent)
        return true;
    if (!registry)
        return false;
    for (const auto& [uid, book] : books)
        if (!book.complete)
            return false;
    return true;
}

void EdsContacts::dropBook(Book& book)
{
    // Letting go of the view tells the service without waiting for it (libebook's stop would).
    if (book.view) {
        lib->signalDisconnect(book.view, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
        lib->unref(book.view);
    }
    if (book.client)
        lib->unref(book.client);
    book = {};
}

EdsContacts::Book* EdsContacts::bookOf(EBookClientView* view)
{
    for (auto& [uid, book] : books)
        if (book.view == view)
            return &book;
    return nullptr;
}

void EdsContacts::onAdded(EBookClientView* view, const GSList* contacts, void* self) noexcept
{
    guarded([=] { static_cast<EdsContacts*>(self)->cardsAdded(view, contacts); });
}

void EdsContacts::onRemoved(EBookClientView* view, const GSList* uids, void* self) noexcept
{
    guarded([=] { static_cast<EdsContacts*>(self)->cardsRemoved(view, uids); });
}

void EdsContacts::cardsAdded(EBookClientView* view, const GSList* contacts)
{
    Book* book = bookOf(view);
    if (!book)
        return;
    // Through the same reader as the contacts folder, so that labels, names and groups read
    // alike whichever source a card comes from.
    for (const GSList* item = contacts; item; item = item->next) {
        gchar* text = lib->vcardToString(static_cast<EVCard*>(item->data), EVC_FORMAT_VCARD_30);
        const QList<VCard> parsed = parseVCards(QByteArray(text));
        lib->free(text);
        if (!parsed.isEmpty() && !parsed.first().uid.isEmpty())
            book->cards.insert(parsed.first().uid, parsed.first());
    }
    announce();
}

void EdsContacts::cardsRemoved(EBookClientView* view, const GSList* uids)
{
    Book* book = bookOf(view);
    if (!book)
        return;
    for (const GSList* item = uids; item; item = item->next)
        book->cards.remove(VCard::bareUid(QString::fromUtf8(static_cast<const char*>(item->data))));
    announce();
}

void EdsContacts::announce()
{
    ++changes;
    // A book hands over its cards in many small batches: one changed() for all of them.
    if (announcing)
        return;
    announcing = true;
    QTimer::singleShot(0, this, [this] {
        announcing = false;
        emit changed();
    });
}

QList<VCard> EdsContacts::cards() const
{
    QList<VCard> all;
    for (const auto& [uid, book] : books)
        all.append(book.cards.values());
    return all;
}
