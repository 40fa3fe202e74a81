#include "CanberraSoundPlayer.h"

#include "RuntimeLibrary.h"

#include <QByteArray>

#include <alsa/asoundlib.h>
#include <canberra.h>

namespace {
// libcanberra's ALSA backend has libasound print a page of errors for a machine without a sound
// device; here a missing device is simply silence.
void silent(const char*, int, const char*, int, const char*, ...) {}

// libcanberra (and libasound, whose errors are silenced before the first sound), loaded at the
// first sound rather than at start.
struct CanberraLibrary
{
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;
    decltype(&ca_context_play) play = nullptr;
    decltype(&snd_lib_error_set_handler) setAlsaErrorHandler = nullptr;

    // nullptr where either library is missing.
    static const CanberraLibrary* get()
    {
        static const CanberraLibrary* const loaded = []() -> const CanberraLibrary* {
            RuntimeLibrary canberra(QStringLiteral("canberra"), 0);
            RuntimeLibrary alsa(QStringLiteral("asound"), 2);
            static CanberraLibrary found;
            canberra.resolve(found.create, "ca_context_create");
            canberra.resolve(found.destroy, "ca_context_destroy");
            canberra.resolve(found.play, "ca_context_play");
            alsa.resolve(found.setAlsaErrorHandler, "snd_lib_error_set_handler");
            return canberra.resolvedAll() && alsa.resolvedAll() ? &found : nullptr;
        }();
        return loaded;
    }
};
} // namespace

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    if (context)
        CanberraLibrary::get()->destroy(context);
}

QByteArray CanberraSoundPlayer::themeEventFor(const QString& name)
{
    if (name == QLatin1String("Purr"))
        return "message-sent-instant";
    if (name == QLatin1String("Sosumi"))
        return "dialog-error";
    if (name == QLatin1String("Morse"))
        return "bell";
    if (name == QLatin1String("Hero"))
        return "message-new-instant";
    return {};
}

void CanberraSoundPlayer::play(const QString& name)
{
    const QByteArray event = themeEventFor(name);
    if (event.isEmpty() || unavailable)
        return;
    // The library and the context come with the first sound, so that start-up never waits for
    // them or for the sound server.
    const CanberraLibrary* canberra = CanberraLibrary::get();
    if (!canberra) {
        unavailable = true;
        return;
    }
    if (!context)
        canberra->setAlsaErrorHandler(silent);
    if (!context && canberra->create(&context) != CA_SUCCESS) {
        context = nullptr;
        unavailable = true;
        return;
    }
    // libcanberra reports "no device" and "no such sound" alike; every failure is silence.
    canberra->play(context, 0, CA_PROP_EVENT_ID, event.constData(), CA_PROP_APPLICATION_NAME,
                   "Quibbo", nullptr);
}
