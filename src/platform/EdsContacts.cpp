#include "EdsContacts.h"

#include "RuntimeLibrary.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

// GLib's headers name a field "signals", which Qt's keyword would turn into "public".
#pragma push_macro("signals")
#undef signals
#include <libebook/libebook.h>
#pragma pop_macro("signals")

Q_LOGGING_CATEGORY(lcEds, "quibbo.addressbook.eds")

// libebook and the libraries below it, loaded at the first look at the address book, and only
// where Evolution Data Server is on the bus: never at start.
struct EdsLibrary
{
    decltype(&g_free) free = nullptr;
    decltype(&g_error_free) errorFree = nullptr;
    decltype(&g_list_free_full) listFreeFull = nullptr;
    decltype(&g_object_unref) unref = nullptr;
    decltype(&g_signal_connect_data) signalConnect = nullptr;
    decltype(&g_signal_handlers_disconnect_matched) signalDisconnect = nullptr;
    decltype(&g_cancellable_new) cancellableNew = nullptr;
    decltype(&g_cancellable_cancel) cancellableCancel = nullptr;
    decltype(&g_io_error_quark) ioErrorQuark = nullptr;
    decltype(&e_source_registry_new) registryNew = nullptr;
    decltype(&e_source_registry_new_finish) registryNewFinish = nullptr;
    decltype(&e_source_registry_list_enabled) listEnabled = nullptr;
    decltype(&e_source_get_uid) sourceUid = nullptr;
    decltype(&e_book_client_connect) clientConnect = nullptr;
    decltype(&e_book_client_connect_finish) clientConnectFinish = nullptr;
    decltype(&e_book_client_get_view) getView = nullptr;
    decltype(&e_book_client_get_view_finish) getViewFinish = nullptr;
    decltype(&e_book_client_view_start) viewStart = nullptr;
    decltype(&e_book_client_view_stop) viewStop = nullptr;
    decltype(&e_vcard_to_string) vcardToString = nullptr;

    // nullptr where the library or one of its functions is missing.
    static const EdsLibrary* get()
    {
        static const EdsLibrary* const loaded = []() -> const EdsLibrary* {
            // Every function is found through libebook: dlsym searches the libraries it needs
            // as well.
            RuntimeLibrary library(QStringLiteral("ebook-1.2"), 21);
            static EdsLibrary found;
            library.resolve(found.free, "g_free");
            library.resolve(found.errorFree, "g_error_free");
            library.resolve(found.listFreeFull, "g_list_free_full");
            library.resolve(found.unref, "g_object_unref");
            library.resolve(found.signalConnect, "g_signal_connect_data");
            library.resolve(found.signalDisconnect, "g_signal_handlers_disconnect_matched");
            library.resolve(found.cancellableNew, "g_cancellable_new");
            library.resolve(found.cancellableCancel, "g_cancellable_cancel");
            library.resolve(found.ioErrorQuark, "g_io_error_quark");
            library.resolve(found.registryNew, "e_source_registry_new");
            library.resolve(found.registryNewFinish, "e_source_registry_new_finish");
            library.resolve(found.listEnabled, "e_source_registry_list_enabled");
            library.resolve(found.sourceUid, "e_source_get_uid");
            library.resolve(found.clientConnect, "e_book_client_connect");
            library.resolve(found.clientConnectFinish, "e_book_client_connect_finish");
            library.resolve(found.getView, "e_book_client_get_view");
            library.resolve(found.getViewFinish, "e_book_client_get_view_finish");
            library.resolve(found.viewStart, "e_book_client_view_start");
            library.resolve(found.viewStop, "e_book_client_view_stop");
            library.resolve(found.vcardToString, "e_vcard_to_string");
            return library.resolvedAll() ? &found : nullptr;
        }();
        return loaded;
    }

    void warn(const char* what, GError* error) const
    {
        if (!error)
            return;
        if (error->domain != ioErrorQuark() || error->code != G_IO_ERROR_CANCELLED)
            qCWarning(lcEds) << what << error->message;
        errorFree(error);
    }
};

// What an asynchronous call needs when it ends, which may be after the client is gone.
struct EdsContacts::Pending
{
    QPointer<EdsContacts> owner;
    QString sourceUid;
};

namespace {
// The registry's service; its version suffix has changed over the years.
constexpr QLatin1StringView registryService("org.gnome.evolution.dataserver.Sources");
// Every contact of a book.
constexpr char everyone[] = R"((contains "x-evolution-any-field" ""))";
} // namespace

EdsContacts::EdsContacts(QObject* parent) : QObject(parent) {}

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
        const QStringList names = QDBusPendingReply<QStringList>(*running).value() +
                                  QDBusPendingReply<QStringList>(*activatable).value();
        running->deleteLater();
        activatable->deleteLater();
        for (const QString& name : names) {
            if (name.startsWith(registryService)) {
                startRegistry();
                return;
            }
        }
        absent = true;
        announce();
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
    cancellable = lib->cancellableNew();
    lib->registryNew(cancellable, onRegistry, new Pending{this, {}});
}

void EdsContacts::onRegistry(GObject*, GAsyncResult* result, void* data)
{
    const std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
    const EdsLibrary* lib = EdsLibrary::get();
    GError* error = nullptr;
    ESourceRegistry* registry = lib->registryNewFinish(result, &error);
    lib->warn("cannot reach the desktop's address books:", error);
    if (!registry) {
        if (pending->owner) {
            pending->owner->absent = true;
            pending->owner->announce();
        }
        return;
    }
    if (!pending->owner) {
        lib->unref(registry);
        return;
    }
    pending->owner->registryReady(registry);
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

void EdsContacts::onSourcesChanged(ESourceRegistry*, ESource*, void* self)
{
    static_cast<EdsContacts*>(self)->syncBooks();
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
        lib->clientConnect(source, guint32(-1), cancellable, onClient, new Pending{this, uid});
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
    if (!object) {
        if (pending->owner)
            pending->owner->bookFailed(pending->sourceUid);
        return;
    }
    if (!pending->owner) {
        lib->unref(object);
        return;
    }
    (pending->owner->*next)(pending->sourceUid, object);
}

void EdsContacts::onClient(GObject*, GAsyncResult* result, void* data)
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
    lib->getView(client, everyone, cancellable, onView, new Pending{this, sourceUid});
}

void EdsContacts::onView(GObject* source, GAsyncResult* result, void* data)
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
    GError* error = nullptr;
    lib->viewStart(view, &error);
    if (error) {
        lib->warn("cannot read an address book of the desktop's:", error);
        bookFailed(sourceUid);
    }
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

void EdsContacts::onComplete(EBookClientView* view, const void*, void* self)
{
    auto* contacts = static_cast<EdsContacts*>(self);
    if (Book* book = contacts->bookOf(view)) {
        book->complete = true;
        contacts->announce();
    }
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
    if (book.view) {
        lib->signalDisconnect(book.view, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
        GError* error = nullptr;
        lib->viewStop(book.view, &error);
        lib->warn("cannot close an address book of the desktop's:", error);
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

void EdsContacts::onAdded(EBookClientView* view, const GSList* contacts, void* self)
{
    static_cast<EdsContacts*>(self)->cardsAdded(view, contacts);
}

void EdsContacts::onRemoved(EBookClientView* view, const GSList* uids, void* self)
{
    static_cast<EdsContacts*>(self)->cardsRemoved(view, uids);
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
