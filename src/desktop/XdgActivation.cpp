#include "XdgActivation.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <cstring>

#include <wayland-client.h>

#include "xdg-activation-v1-client-protocol.h"

namespace {
// The compositor's protocol on the one Wayland connection a process has, looked up on an event
// queue of its own so that Qt's dispatching never sees its events.
struct Lookup
{
    wl_display* display = nullptr;
    wl_event_queue* queue = nullptr;
    wl_registry* registry = nullptr;
    xdg_activation_v1* activation = nullptr;
};

void globalAnnounced(void* data, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t) noexcept
{
    auto* lookup = static_cast<Lookup*>(data);
    if (!lookup->activation && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        lookup->activation = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void globalRemoved(void*, wl_registry*, uint32_t) noexcept {}

const wl_registry_listener registryListener{globalAnnounced, globalRemoved};

wl_display* waylandDisplay()
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    return static_cast<wl_display*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForIntegration("wl_display"));
}

// Let go before Qt's connection ends, at the quit.
void release(Lookup& lookup)
{
    if (lookup.activation)
        xdg_activation_v1_destroy(lookup.activation);
    if (lookup.registry)
        wl_registry_destroy(lookup.registry);
    if (lookup.queue)
        wl_event_queue_destroy(lookup.queue);
    lookup = Lookup{};
}

// Looked up once on Qt's own Wayland connection, and kept until the application quits.
Lookup* lookupOn(wl_display* display)
{
    static Lookup lookup;
    static bool quitting = false;
    if (quitting)
        return &lookup;
    if (!lookup.display) {
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] {
            quitting = true;
            release(lookup);
        });
        lookup.display = display;
        lookup.queue = wl_display_create_queue(display);
        auto* onQueue = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(onQueue), lookup.queue);
        lookup.registry = wl_display_get_registry(onQueue);
        wl_proxy_wrapper_destroy(onQueue);
        wl_registry_add_listener(lookup.registry, &registryListener, &lookup);
        wl_display_flush(display);
    }
    // Qt's reader puts the compositor's answers on this queue as they come; those that have
    // come are taken now, none is waited for.
    wl_display_dispatch_queue_pending(display, lookup.queue);
    return &lookup;
}
} // namespace

void XdgActivation::prepare()
{
    if (wl_display* display = waylandDisplay())
        lookupOn(display);
}

bool XdgActivation::activate(QWindow& window, const QString& token)
{
    wl_display* display = waylandDisplay();
    if (token.isEmpty() || !display || !window.handle())
        return false;
    auto* surface = static_cast<wl_surface*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForWindow("surface", &window));
    const Lookup* lookup = lookupOn(display);
    if (!surface || !lookup->activation)
        return false;
    xdg_activation_v1_activate(lookup->activation, token.toUtf8().constData(), surface);
    wl_display_flush(display);
    return true;
}
