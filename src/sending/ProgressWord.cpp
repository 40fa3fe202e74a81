#include "ProgressWord.h"

#include "TextColours.h"
#include "TimerSource.h"

#include <QLabel>

ProgressWord::ProgressWord(QLabel* label, TimerSource& timers)
    : field(label), resetTimer(timers.makeTimer(false, [this] { reset(); }))
{}

ProgressWord::~ProgressWord() = default;

void ProgressWord::showSteady(const QString& word, TextColours::Tone tone)
{
    resetTimer->stop();
    set(word, tone);
}

void ProgressWord::showFor(const QString& word, TextColours::Tone tone,
                           std::chrono::milliseconds duration)
{
    set(word, tone);
    resetTimer->start(duration);
}

void ProgressWord::reset()
{
    resetTimer->stop();
    set(QString(), TextColours::idle);
}

void ProgressWord::set(const QString& word, TextColours::Tone tone)
{
    field->setPalette(TextColours::withText(field->palette(), tone));
    field->setText(word);
}
