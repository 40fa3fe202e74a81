#include "TextColours.h"

#include <QPalette>
#include <QWidget>

namespace TextColours {
void apply(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QColor of(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}
} // namespace TextColours
