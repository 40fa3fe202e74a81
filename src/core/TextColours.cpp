#include "TextColours.h"

#include <cmath>

namespace TextColours {
namespace {
constexpr double readable = 4.5;

double luminance(const QColor& colour)
{
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

bool isDark(const QColor& background)
{
    return luminance(background) < 0.18;
}

QColor mixed(const QColor& from, const QColor& to, double share)
{
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * share),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * share),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * share));
}
} // namespace

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor shade(Tone tone, const QColor& background)
{
    const bool dark = isDark(background);
    QColor base;
    switch (tone) {
    case Tone::failure:
        base = dark ? QColor(0xff, 0x5c, 0x5c) : QColor(0xcc, 0x00, 0x00);
        break;
    case Tone::idle:
        base = dark ? QColor(0xa8, 0xa8, 0xa8) : QColor(0x59, 0x59, 0x59);
        break;
    case Tone::success:
    case Tone::other:
        base = dark ? QColor(Qt::white) : QColor(Qt::black);
        break;
    }
    // Towards white on a dark background, towards black on a light one, until it reads well.
    const QColor extreme = dark ? QColor(Qt::white) : QColor(Qt::black);
    QColor colour = base;
    for (int step = 1; step <= 20 && contrast(colour, background) < readable; ++step)
        colour = mixed(base, extreme, step / 20.0);
    return colour;
}

QPalette withText(QPalette palette, Tone tone)
{
    const QColor colour = shade(tone, palette.color(QPalette::Window));
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    return palette;
}

Tone of(const QPalette& palette)
{
    const QColor text = palette.color(QPalette::WindowText);
    for (Tone tone : {Tone::success, Tone::failure, Tone::idle})
        if (shade(tone, palette.color(QPalette::Window)) == text)
            return tone;
    return Tone::other;
}
} // namespace TextColours
