#pragma once

#include "CharCounter.h"
#include "FakeSoundPlayer.h"
#include "FakeTime.h"
#include "MemorySettingsStore.h"
#include "MessageTextEdit.h"
#include "ProgressWord.h"
#include "Settings.h"

#include <QLabel>

// The length counter wired to a message view of its own, as the main window wires it. A null
// setting leaves longSMSAllowed unstored. (Header only: its users link the sending library.)
struct CounterHarness
{
    explicit CounterHarness(const QString& longSetting)
        : word(&progress, time), counter({field, message, word}, typedSettings, sounds)
    {
        if (!longSetting.isNull())
            settings.setString(QStringLiteral("longSMSAllowed"), longSetting);
        counter.awakeFromNib();
    }
    MemorySettingsStore settings;
    Settings typedSettings{settings};
    FakeSoundPlayer sounds;
    FakeTime time;
    MessageTextEdit message;
    QLabel field;
    QLabel progress;
    ProgressWord word;
    CharCounter counter;
};
