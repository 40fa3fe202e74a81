#pragma once

#include "TextColours.h"

#include <QString>

#include <chrono>
#include <memory>

class QLabel;
class Timer;
class TimerSource;

// The short word beside the send progress indicator ("Sending...", "Sent", "Failed",
// "Too Long"). One reset timer serves every writer: showing a new word restarts or stops it, so
// a timer left from an earlier word can never blank a newer one.
class ProgressWord
{
public:
    ProgressWord(QLabel* label, TimerSource& timers);
    ~ProgressWord();

    // Stays until the next word.
    void showSteady(const QString& word, TextColours::Tone tone);
    // Cleared to the idle state after the given time.
    void showFor(const QString& word, TextColours::Tone tone, std::chrono::milliseconds duration);
    // The empty word in dark grey.
    void reset();

private:
    void set(const QString& word, TextColours::Tone tone);

    QLabel* field;
    std::unique_ptr<Timer> resetTimer;
};
