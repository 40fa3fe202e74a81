#pragma once

#include <QWidget>

class QPainterPath;

// A dark, 75 % opaque panel with corners rounded to a radius of 25, painted on whatever lies
// beneath a TransparentWindow. Outside the rounded corners nothing is painted.
class RoundedView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The outline for a rectangle: its edges other than the origin corner fall on whole
    // numbers, truncated toward zero; the origin corner is drawn from the exact origin.
    static QPainterPath outline(const QRectF& rect);
    void drawRect(QPainter& painter, const QRectF& rect) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Appends to path a straight line toward corner and the arc of the given radius that turns
// from the line (current point, corner) onto the line (corner, target): the arc's circle
// touches both lines. The path ends where the arc touches the second line.
void appendArcFromPointToPoint(QPainterPath& path, QPointF corner, QPointF target, qreal radius);
