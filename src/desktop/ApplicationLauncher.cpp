// GIO's headers name a field "signals", which Qt's headers define as a word of their own.
#include <gio/gio.h>

#include "ApplicationLauncher.h"
#include "RuntimeLibrary.h"

#include <memory>

namespace {
// GIO is loaded when an application is first asked for, not linked: linking it would load seven
// more libraries at every start of the client, for a button that is rarely pressed.
struct Gio
{
    decltype(&g_content_type_from_mime_type) contentTypeFromMimeType = nullptr;
    decltype(&g_app_info_get_default_for_type) defaultForType = nullptr;
    decltype(&g_app_info_launch) launch = nullptr;
    decltype(&g_free) free = nullptr;
    decltype(&g_object_unref) unref = nullptr;
    decltype(&g_error_free) errorFree = nullptr;

    bool loaded() const
    {
        return contentTypeFromMimeType && defaultForType && launch && free && unref && errorFree;
    }
};

const Gio& gio()
{
    static const Gio functions = [] {
        RuntimeLibrary library(QStringLiteral("gio-2.0"), 0);
        Gio found;
        library.resolve(found.contentTypeFromMimeType, "g_content_type_from_mime_type");
        library.resolve(found.defaultForType, "g_app_info_get_default_for_type");
        library.resolve(found.launch, "g_app_info_launch");
        library.resolve(found.free, "g_free");
        library.resolve(found.unref, "g_object_unref");
        library.resolve(found.errorFree, "g_error_free");
        return found;
    }();
    return functions;
}
} // namespace

bool DesktopApplicationLauncher::launchPreferredFor(const QString& mimeType)
{
    const Gio& g = gio();
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
