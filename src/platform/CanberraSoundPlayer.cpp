#include "CanberraSoundPlayer.h"

#include <QByteArray>

#include <alsa/asoundlib.h>
#include <canberra.h>

namespace {
// libcanberra's ALSA backend has libasound print a page of errors for a machine without a sound
// device; here a missing device is simply silence.
void silent(const char*, int, const char*, int, const char*, ...) {}
} // namespace

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    if (context)
        ca_context_destroy(context);
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
    // The context is made on first use, so that start-up never waits for the sound server.
    if (!context)
        snd_lib_error_set_handler(silent);
    if (!context && ca_context_create(&context) != CA_SUCCESS) {
        context = nullptr;
        unavailable = true;
        return;
    }
    // libcanberra reports "no device" and "no such sound" alike; every failure is silence.
    ca_context_play(context, 0, CA_PROP_EVENT_ID, event.constData(), CA_PROP_APPLICATION_NAME,
                    "Quibbo", nullptr);
}
