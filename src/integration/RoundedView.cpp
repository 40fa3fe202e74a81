#include "RoundedView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
constexpr qreal cornerRadius = 25.0;
const QColor fill(0, 0, 0, 191); // black at 75 %

qreal truncated(qreal value)
{
    return static_cast<qreal>(static_cast<qint32>(value));
}
} // namespace

void appendArcFromPointToPoint(QPainterPath& path, QPointF corner, QPointF target, qreal radius)
{
    const QPointF start = path.currentPosition();
    const QPointF toStart = start - corner;
    const QPointF toTarget = target - corner;
    const qreal lengthStart = std::hypot(toStart.x(), toStart.y());
    const qreal lengthTarget = std::hypot(toTarget.x(), toTarget.y());
    const qreal cross = toStart.x() * toTarget.y() - toStart.y() * toTarget.x();
    if (lengthStart == 0 || lengthTarget == 0 || radius <= 0 || std::abs(cross) < 1e-9) {
        path.lineTo(corner); // the lines do not turn: nothing to round
        return;
    }
    const QPointF u1 = toStart / lengthStart;
    const QPointF u2 = toTarget / lengthTarget;
    const qreal angle = std::acos(std::clamp(u1.x() * u2.x() + u1.y() * u2.y(), -1.0, 1.0));
    const qreal tangentDistance = radius / std::tan(angle / 2);
    const QPointF touch1 = corner + u1 * tangentDistance;
    const QPointF touch2 = corner + u2 * tangentDistance;
    QPointF bisector = u1 + u2;
    bisector /= std::hypot(bisector.x(), bisector.y());
    const QPointF centre = corner + bisector * (radius / std::sin(angle / 2));

    path.lineTo(touch1);
    // Qt measures angles counter-clockwise with y growing downwards.
    const auto degreesOf = [&centre](QPointF p) {
        return std::atan2(-(p.y() - centre.y()), p.x() - centre.x()) * 180.0 / M_PI;
    };
    qreal sweep = degreesOf(touch2) - degreesOf(touch1);
    while (sweep > 180)
        sweep -= 360;
    while (sweep < -180)
        sweep += 360;
    path.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
               degreesOf(touch1), sweep);
}

QPainterPath RoundedView::outline(const QRectF& rect)
{
    const qreal minX = truncated(rect.x());
    const qreal midX = truncated(rect.x() + rect.width() * 0.5);
    const qreal maxX = truncated(rect.x() + rect.width());
    const qreal minY = truncated(rect.y());
    const qreal midY = truncated(rect.y() + rect.height() * 0.5);
    const qreal maxY = truncated(rect.y() + rect.height());

    QPainterPath path;
    path.moveTo(midX, minY);
    appendArcFromPointToPoint(path, {maxX, minY}, {maxX, midY}, cornerRadius);
    appendArcFromPointToPoint(path, {maxX, maxY}, {midX, maxY}, cornerRadius);
    appendArcFromPointToPoint(path, {minX, maxY}, {minX, midY}, cornerRadius);
    appendArcFromPointToPoint(path, rect.topLeft(), {midX, minY}, cornerRadius);
    path.closeSubpath();
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
