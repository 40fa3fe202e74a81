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

    // The outline for a rectangle: its far edges fall on whole numbers, truncated toward zero.
    static QPainterPath outline(const QRectF& rect);
    void drawRect(QPainter& painter, const QRectF& rect) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
