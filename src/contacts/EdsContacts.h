#pragma once

#include "VCard.h"

#include <QMap>
#include <QObject>
#include <QStringList>

#include <map>

struct EdsLibrary;
using GCancellable = struct _GCancellable;
using ESourceRegistry = struct _ESourceRegistry;
using EBookClient = struct _EBookClient;
using EBookClientView = struct _EBookClientView;
using GSList = struct _GSList;
using GObject = struct _GObject;
using GAsyncResult = struct _GAsyncResult;
using ESource = struct _ESource;
using GError = struct _GError;
using GTask = struct _GTask;
class QDBusServiceWatcher;
class QTimer;

// The desktop's address books (GNOME Contacts, Evolution and the online accounts synced into
// Evolution Data Server): every enabled one, kept current through a live view of each. Nothing
// here waits on the window's thread: the library is loaded, the registry and each book
// connected and read through GLib's asynchronous calls, which Qt's event loop runs, and the one
// call libebook makes only synchronously (starting a view) runs on GLib's worker threads;
// changed() follows every batch. Where Evolution Data Server is not on the session bus, nothing
// is loaded and the list stays empty.
//
// The services are followed on the bus: when the registry or the address-book factory ends (a
// crash, an update), its books are dropped, and read again once the services' owners have
// stopped changing for a moment. The registry is kept meanwhile (it follows its service), and a
// registry that ended alone is started again by this client.
class EdsContacts : public QObject
{
    Q_OBJECT
public:
    explicit EdsContacts(QObject* parent = nullptr);
    ~EdsContacts() override;

    // Asks the session bus whether Evolution Data Server is there, and reads its books if so.
    // Only the first call does anything.
    void start();
    bool isStarted() const { return started; }

    // Every card of every book, as vCards: by book, then by UID.
    QList<VCard> cards() const;
    // Whether every book has handed over its cards, or none will come (no Evolution Data
    // Server, or it failed); changed() follows the moment it becomes so.
    bool isSettled() const;
    // Grows with every change of the cards, so that a reader knows its copy is out of date
    // before changed() comes.
    quint64 revision() const { return changes; }

Q_SIGNALS:
    void changed();

private:
    struct Book
    {
        EBookClient* client = nullptr;
        EBookClientView* view = nullptr;
        QMap<QString, VCard> cards; // by UID
        bool complete = false;      // its first cards have all come, or it failed
    };
    struct Pending;

    void startRegistry();
    void registryReady(ESourceRegistry* registry);
    // Follows the registry's and the factory's owners on the bus.
    void follow(const QStringList& services);
    void ownerChanged(const QString& service, const QString& oldOwner, const QString& newOwner);
    // Once the owners have stopped changing: the books again, if the registry runs.
    void reconnectOnceQuiet();
    // Lets go of every book, and of every call still out for the books and the registry.
    void dropBooks();
    // Connects the enabled books not yet connected, drops those no longer enabled.
    void syncBooks();
    void bookConnected(const QString& sourceUid, EBookClient* client);
    void viewReady(const QString& sourceUid, EBookClientView* view);
    // Whether a call that began in this generation still concerns the books held now.
    bool isCurrent(const Pending& pending) const;
    void bookFailed(const QString& sourceUid);
    void dropBook(Book& book);
    Book* bookOf(EBookClientView* view);
    void cardsAdded(EBookClientView* view, const GSList* contacts);
    void cardsRemoved(EBookClientView* view, const GSList* uids);
    void announce();

    // GLib's callbacks: C calls them, so nothing may leave them by an exception.
    static void onRegistry(GObject* source, GAsyncResult* result, void* data) noexcept;
    // Ends one asynchronous step of opening a book: the object goes on to next, or is let go
    // when the step failed or the books it was for are gone.
    template <typename Object>
    static void bookStepEnded(void* data, Object* object, GError* error,
                              void (EdsContacts::*next)(const QString&, Object*));
    static void onClient(GObject* source, GAsyncResult* result, void* data) noexcept;
    static void onView(GObject* source, GAsyncResult* result, void* data) noexcept;
    // On a worker thread of GLib's: the view's start, which libebook offers only as a call that
    // waits for the address book service.
    static void startView(GTask* task, void* view, void*, GCancellable*) noexcept;
    static void onViewStarted(GObject* source, GAsyncResult* result, void* data) noexcept;
    static void onSourcesChanged(ESourceRegistry* registry, ESource* source, void* self) noexcept;
    static void onAdded(EBookClientView* view, const GSList* contacts, void* self) noexcept;
    static void onRemoved(EBookClientView* view, const GSList* uids, void* self) noexcept;
    static void onComplete(EBookClientView* view, const void* error, void* self) noexcept;

    const EdsLibrary* lib = nullptr;
    bool started = false;
    bool absent = false;     // not on the bus, or the registry failed or ended
    bool connecting = false; // the registry is being asked for
    bool announcing = false;
    quint64 changes = 0;
    quint64 generation = 0; // of the registry and books held now: each disconnection starts anew
    QDBusServiceWatcher* services = nullptr;
    QTimer* reconnect;
    bool registryRuns = true; // as the bus last said; asked for in any case at the start
    QString registryService;
    GCancellable* cancellable = nullptr;
    ESourceRegistry* registry = nullptr;
    std::map<QString, Book> books; // by the book's source UID; a null client while connecting
};
