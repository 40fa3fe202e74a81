#include "RoundedView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal cornerRadius = 25.0;
const QColor fill(0, 0, 0, 191); // black at 75 %

qreal truncated(qreal value)
{
    return static_cast<qreal>(static_cast<qint32>(value));
}
} // namespace

QPainterPath RoundedView::outline(const QRectF& rect)
{
    // The far edges on whole pixels, so that a fractional size never leaves a faint last line.
    const QPointF farCorner(truncated(rect.x() + rect.width()),
                            truncated(rect.y() + rect.height()));
    QPainterPath path;
    path.addRoundedRect(QRectF(rect.topLeft(), farCorner), cornerRadius, cornerRadius);
    return path;
}

void RoundedView::drawRect(QPainter& painter, const QRectF& rect) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(outline(rect), fill);
}

void RoundedView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    drawRect(painter, event->rect());
}
