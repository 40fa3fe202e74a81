#include "DeferredIconStyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace {
// Stands in for a standard icon until it is drawn or measured, then passes everything on to it.
class DeferredIconEngine : public QIconEngine
{
public:
    DeferredIconEngine(QPointer<QStyle> style_, QStyle::StandardPixmap which_,
                       QPointer<QWidget> widget_)
        : style(std::move(style_)), which(which_), widget(std::move(widget_))
    {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override
    {
        auto* copy = new DeferredIconEngine(style, which, widget);
        copy->real = real;
        return copy;
    }
    // Not null before it is read: asking would read it.
    bool isNull() override { return real && real->isNull(); }

private:
    const QIcon& icon()
    {
        if (!real)
            real = style ? style->standardIcon(which, nullptr, widget) : QIcon();
        return *real;
    }

    QPointer<QStyle> style;
    QStyle::StandardPixmap which;
    QPointer<QWidget> widget;
    std::optional<QIcon> real;
};
} // namespace

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const
{
    // An icon that depends on an option is read at once: the option is gone by the first paint.
    if (option)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    return QIcon(new DeferredIconEngine(baseStyle(), standardIcon, const_cast<QWidget*>(widget)));
}
