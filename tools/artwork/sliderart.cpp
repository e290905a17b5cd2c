#include "sliderart.h"

#include "canvas.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QtMath>

namespace {

struct Axis
{
    GraphAxis axis;
    QPointF end;
    QPointF labelAt;
    QString label;
};

void markCanvas(QPainter &painter, QImage &image)
{
    image = transparentCanvas(44, 22);
    beginArt(painter, image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 120));
    painter.drawRoundedRect(QRectF(0.0, 0.0, 44.0, 22.0), 5.0, 5.0);
}

void drawArrow(QPainter &painter, QPointF from, QPointF to, const QColor &colour, double width)
{
    painter.setPen(roundPen(colour, width));
    painter.drawLine(from, to);
    const double angle = qAtan2(to.y() - from.y(), to.x() - from.x());
    const double head = 2.5 + width;
    QPainterPath tip;
    tip.moveTo(to + QPointF(qCos(angle) * 1.5, qSin(angle) * 1.5));
    tip.lineTo(to - QPointF(qCos(angle - 0.5) * head, qSin(angle - 0.5) * head));
    tip.lineTo(to - QPointF(qCos(angle + 0.5) * head, qSin(angle + 0.5) * head));
    tip.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(tip);
}

void drawAxes(QPainter &painter, QPointF origin, const QList<Axis> &axes, GraphAxis lit)
{
    // Dim axes first so the lit one is drawn on top where they meet.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Axis &axis : axes) {
            const bool isLit = axis.axis == lit;
            if (isLit != (pass == 1))
                continue;
            const QColor colour = isLit ? Palette::amber : QColor(150, 150, 150);
            drawArrow(painter, origin, axis.end, colour, isLit ? 2.0 : 1.0);
            painter.setFont(artFont(isLit ? 10 : 9, isLit));
            painter.setPen(colour);
            painter.drawText(QRectF(axis.labelAt - QPointF(5.0, 6.0), QSizeF(10.0, 12.0)),
                             Qt::AlignCenter, axis.label);
        }
    }
}

} // namespace

QImage activeSliderHalo()
{
    QImage image = transparentCanvas(44, 36);
    QPainter painter;
    beginArt(painter, image);
    const QRectF handle(5.0, 4.0, 34.0, 28.0);
    painter.setBrush(Qt::NoBrush);
    for (int ring = 4; ring >= 1; --ring) {
        painter.setPen(QPen(QColor(255, 170, 0, 26 + (4 - ring) * 22), 1.0));
        painter.drawRoundedRect(handle.adjusted(-ring + 0.5, -ring + 0.5, ring - 0.5, ring - 0.5),
                                2.0 + ring, 2.0 + ring);
    }
    painter.setPen(QPen(Palette::amber, 1.0));
    painter.setBrush(QColor(255, 176, 0, 48));
    painter.drawRoundedRect(handle.adjusted(0.5, 0.5, -0.5, -0.5), 2.0, 2.0);
    // A lit index line across the middle marks the exact value, like a meter's needle.
    QLinearGradient needle(handle.left(), 0, handle.right(), 0);
    needle.setColorAt(0.0, QColor(255, 120, 0, 0));
    needle.setColorAt(0.5, QColor(255, 220, 90, 255));
    needle.setColorAt(1.0, QColor(255, 120, 0, 0));
    painter.setPen(QPen(QColor(255, 150, 0, 90), 3.0));
    painter.drawLine(QPointF(9.0, 18.0), QPointF(35.0, 18.0));
    painter.setPen(QPen(QBrush(needle), 1.0));
    painter.drawLine(QPointF(7.0, 18.0), QPointF(37.0, 18.0));
    return image;
}

QImage planeAxisMark(GraphAxis lit)
{
    QImage image;
    QPainter painter;
    markCanvas(painter, image);
    const QPointF origin(8.5, 16.5);
    drawAxes(painter, origin,
             {{GraphAxis::X, QPointF(33.0, 16.5), QPointF(38.5, 15.0), QStringLiteral("x")},
              {GraphAxis::Z, QPointF(8.5, 4.0), QPointF(16.0, 5.5), QStringLiteral("z")}},
             lit);
    return image;
}

QImage spaceAxisMark(GraphAxis lit)
{
    QImage image;
    QPainter painter;
    markCanvas(painter, image);
    const QPointF origin(8.5, 16.5);
    drawAxes(painter, origin,
             {{GraphAxis::X, QPointF(30.0, 16.5), QPointF(37.5, 15.0), QStringLiteral("x")},
              {GraphAxis::Y, QPointF(20.0, 8.5), QPointF(26.5, 6.5), QStringLiteral("y")},
              {GraphAxis::Z, QPointF(8.5, 4.0), QPointF(15.0, 4.5), QStringLiteral("z")}},
             lit);
    return image;
}
