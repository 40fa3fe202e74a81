// GIO's headers name a field "signals", which Qt's headers define as a word of their own.
#include <gio/gio.h>

#include "NetworkMonitor.h"
#include "RuntimeLibrary.h"

#include <QLoggingCategory>

#include <exception>

namespace {
Q_LOGGING_CATEGORY(lcNetworkMonitor, "quibbo.network-monitor")

// Loaded only once a message waits: most runs never need it.
struct Gio : RuntimeLibrary
{
    Gio() : RuntimeLibrary(QStringLiteral("gio-2.0"), 0) {}
    Function<decltype(g_network_monitor_get_default)> monitor{*this,
                                                              "g_network_monitor_get_default"};
    Function<decltype(g_signal_connect_data)> connect{*this, "g_signal_connect_data"};
    Function<decltype(g_signal_handler_disconnect)> disconnect{*this,
                                                               "g_signal_handler_disconnect"};
};
} // namespace

GioNetworkMonitor::~GioNetworkMonitor()
{
    // The default monitor lives for the process; only the handler pointing here goes.
    if (handler)
        RuntimeLibrary::load<Gio>().disconnect(monitor, handler);
}

void GioNetworkMonitor::watch()
{
    const Gio& g = RuntimeLibrary::load<Gio>();
    if (monitor || !g.loaded())
        return;
    // The default monitor emits on the main context of the thread that made it: this one's,
    // which Qt's event loop runs.
    monitor = g.monitor();
    if (monitor)
        handler = g.connect(monitor, "network-changed", G_CALLBACK(&GioNetworkMonitor::changed),
                            this, nullptr, GConnectFlags(0));
}

void GioNetworkMonitor::changed(void*, int available, void* self) noexcept
{
    // GLib calls this from C: an exception of a slot (bad_alloc, say) ends here, and the outbox
    // tries at its next interval instead.
    try {
        if (available)
            emit static_cast<GioNetworkMonitor*>(self)->becameAvailable();
    } catch (const std::exception& e) {
        qCWarning(lcNetworkMonitor)
            << "dropped the desktop's word that a network is up:" << e.what();
    }
}
