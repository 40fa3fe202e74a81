#pragma once

#include <QColor>
#include <QPalette>

// Red for a failure, black for success and progress, dark grey for the idle progress word.
namespace TextColours {
inline const QColor failure{0xcc, 0x00, 0x00};
inline const QColor success{Qt::black};
inline const QColor idle{Qt::darkGray};

// The palette with its text drawn in colour: widget->setPalette(withText(widget->palette(), c)).
QPalette withText(QPalette palette, const QColor& colour);
QColor of(const QPalette& palette);
} // namespace TextColours
