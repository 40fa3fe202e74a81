#include "CanberraSoundPlayer.h"

#include "RuntimeLibrary.h"

#include <QByteArray>

#include <alsa/asoundlib.h>
#include <canberra.h>

namespace {
// libcanberra's ALSA backend has libasound print a page of errors for a machine without a sound
// device; here a missing device is simply silence.
void silent(const char*, int, const char*, int, const char*, ...) {}

// libcanberra and libasound (whose errors are silenced before the first sound), loaded at the
// first sound rather than at start.
struct Canberra : RuntimeLibrary
{
    Canberra() : RuntimeLibrary(QStringLiteral("canberra"), 0) {}
    Function<decltype(ca_context_create)> create{*this, "ca_context_create"};
    Function<decltype(ca_context_destroy)> destroy{*this, "ca_context_destroy"};
    // Its sentinel attribute cannot pass as a template argument: the type is written out.
    Function<int(ca_context*, uint32_t, ...)> play{*this, "ca_context_play"};
};

struct Alsa : RuntimeLibrary
{
    Alsa() : RuntimeLibrary(QStringLiteral("asound"), 2) {}
    Function<decltype(snd_lib_error_set_handler)> setErrorHandler{*this,
                                                                  "snd_lib_error_set_handler"};
};

// nullptr where either library is missing.
const Canberra* canberra()
{
    static const Canberra* const loaded = []() -> const Canberra* {
        const Canberra& library = RuntimeLibrary::load<Canberra>();
        return library.loaded() && RuntimeLibrary::load<Alsa>().loaded() ? &library : nullptr;
    }();
    return loaded;
}
} // namespace

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    if (context)
        canberra()->destroy(context);
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
    const Canberra* library = canberra();
    if (!library) {
        unavailable = true;
        return;
    }
    if (!context)
        RuntimeLibrary::load<Alsa>().setErrorHandler(silent);
    if (!context && library->create(&context) != CA_SUCCESS) {
        context = nullptr;
        unavailable = true;
        return;
    }
    // libcanberra reports "no device" and "no such sound" alike; every failure is silence.
    library->play(context, 0, CA_PROP_EVENT_ID, event.constData(), CA_PROP_APPLICATION_NAME,
                  "Quibbo", nullptr);
}
