#include "ProgressWord.h"

#include "TextColours.h"
#include "TimerSource.h"

#include <QLabel>

ProgressWord::ProgressWord(QLabel* label, TimerSource& timers)
    : field(label), resetTimer(timers.makeTimer(false, [this] { reset(); }))
{}

ProgressWord::~ProgressWord() = default;

void ProgressWord::showSteady(const QString& word, const QColor& colour)
{
    resetTimer->stop();
    set(word, colour);
}

void ProgressWord::showFor(const QString& word, const QColor& colour,
                           std::chrono::milliseconds duration)
{
    set(word, colour);
    resetTimer->start(duration);
}

void ProgressWord::reset()
{
    resetTimer->stop();
    set(QString(), TextColours::idle);
}

void ProgressWord::set(const QString& word, const QColor& colour)
{
    field->setPalette(TextColours::withText(field->palette(), colour));
    field->setText(word);
}
