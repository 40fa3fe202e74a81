#pragma once

#include <QString>

// Plays the named event sounds the client uses: "Purr" for a sent message, "Sosumi" for a
// failed send, "Morse" for refused or cut input, "Hero" to call the user back to the window.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& name) = 0;
};
