#include "TextColours.h"

namespace TextColours {
QPalette withText(QPalette palette, const QColor& colour)
{
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    return palette;
}

QColor of(const QPalette& palette)
{
    return palette.color(QPalette::WindowText);
}
} // namespace TextColours
