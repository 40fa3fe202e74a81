// GIO's headers name a field "signals", which Qt's headers define as a word of their own.
#include <gio/gio.h>

#include "ApplicationLauncher.h"

#include <memory>

bool DesktopApplicationLauncher::launchPreferredFor(const QString& mimeType)
{
    const std::unique_ptr<gchar, decltype(&g_free)> type(
        g_content_type_from_mime_type(mimeType.toUtf8().constData()), &g_free);
    if (!type)
        return false;
    const std::unique_ptr<GAppInfo, decltype(&g_object_unref)> app(
        g_app_info_get_default_for_type(type.get(), FALSE), &g_object_unref);
    if (!app)
        return false;
    GError* error = nullptr;
    const bool started = g_app_info_launch(app.get(), nullptr, nullptr, &error);
    g_clear_error(&error);
    return started;
}
