#pragma once

#include "SoundPlayer.h"

#include <QStringList>

class FakeSoundPlayer : public SoundPlayer
{
public:
    void play(const QString& name) override { played.append(name); }
    QStringList played;
};
