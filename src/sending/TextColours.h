#pragma once

#include <QColor>

class QWidget;

// Red for a failure, black for success and progress, dark grey for the idle progress word.
namespace TextColours {
inline const QColor failure{0xcc, 0x00, 0x00};
inline const QColor success{Qt::black};
inline const QColor idle{Qt::darkGray};

void apply(QWidget* widget, const QColor& colour);
QColor of(const QWidget* widget);
} // namespace TextColours
