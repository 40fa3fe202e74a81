// GIO's headers name a field "signals", which Qt's headers define as a word of their own.
#include <gio/gio.h>

#include "ApplicationLauncher.h"
#include "RuntimeLibrary.h"

#include <memory>

namespace {
// GIO is loaded when an application is first asked for, not linked: linking it would load seven
// more libraries at every start of the client, for a button that is rarely pressed.
struct Gio : RuntimeLibrary
{
    Gio() : RuntimeLibrary(QStringLiteral("gio-2.0"), 0) {}
    Function<decltype(g_content_type_from_mime_type)> contentTypeFromMimeType{
        *this, "g_content_type_from_mime_type"};
    Function<decltype(g_app_info_get_default_for_type)> defaultForType{
        *this, "g_app_info_get_default_for_type"};
    Function<decltype(g_app_info_launch)> launch{*this, "g_app_info_launch"};
    Function<decltype(g_free)> free{*this, "g_free"};
    Function<decltype(g_object_unref)> unref{*this, "g_object_unref"};
    Function<decltype(g_error_free)> errorFree{*this, "g_error_free"};
};
} // namespace

bool DesktopApplicationLauncher::launchPreferredFor(const QString& mimeType)
{
    const Gio& g = RuntimeLibrary::load<Gio>();
    if (!g.loaded())
        return false;
    const std::unique_ptr<gchar, decltype(g.free)> type(
        g.contentTypeFromMimeType(mimeType.toUtf8().constData()), g.free);
    if (!type)
        return false;
    const std::unique_ptr<GAppInfo, decltype(g.unref)> app(g.defaultForType(type.get(), FALSE),
                                                           g.unref);
    if (!app)
        return false;
    GError* error = nullptr;
    const bool started = g.launch(app.get(), nullptr, nullptr, &error);
    if (error)
        g.errorFree(error);
    return started;
}
