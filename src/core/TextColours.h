#pragma once

#include <QColor>
#include <QPalette>

// Red for a failure, black for success and progress, dark grey for the idle progress word. The
// shade of each is chosen against the background it is drawn on, so that it stays readable
// (a contrast of at least 4.5:1) on a light or a dark palette alike.
namespace TextColours {
enum class Tone
{
    success,
    failure,
    idle,
    other, // a colour none of the tones gives
};
inline constexpr Tone success = Tone::success;
inline constexpr Tone failure = Tone::failure;
inline constexpr Tone idle = Tone::idle;

// The WCAG contrast ratio of two colours, from 1 to 21.
double contrast(const QColor& a, const QColor& b);
// The shade of a tone on the given background.
QColor shade(Tone tone, const QColor& background);
// The palette with its text drawn in the tone: widget->setPalette(withText(widget->palette(), t)).
QPalette withText(QPalette palette, Tone tone);
// The tone a palette's text is drawn in.
Tone of(const QPalette& palette);
} // namespace TextColours
