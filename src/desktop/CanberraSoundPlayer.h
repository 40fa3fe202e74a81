#pragma once

#include "SoundPlayer.h"

struct ca_context;

// Maps the client's sound names to freedesktop sound theme events and plays them through
// libcanberra. Without a sound device, or without the sound, nothing is heard and nothing fails.
class CanberraSoundPlayer : public SoundPlayer
{
public:
    CanberraSoundPlayer() = default;
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    void play(const QString& name) override;

    // The theme event id for a client sound name, or an empty string for an unknown name.
    static QByteArray themeEventFor(const QString& name);

private:
    ca_context* context = nullptr;
    bool unavailable = false;
};
