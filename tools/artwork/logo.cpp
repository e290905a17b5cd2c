#include "logo.h"

#include "canvas.h"
#include "surfaces.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr double design = 512.0;
const QRectF tile(16.0, 16.0, 480.0, 480.0);
const QRectF screenRect(76.0, 76.0, 360.0, 360.0);
const QPointF crossPoint(256.0, 284.0);

QPainterPath mCurve()
{
    QPainterPath curve;
    curve.moveTo(100.0, 398.0);
    curve.cubicTo(152.0, 398.0, 138.0, 140.0, 180.0, 140.0);
    curve.cubicTo(216.0, 140.0, 224.0, crossPoint.y(), crossPoint.x(), crossPoint.y());
    curve.cubicTo(288.0, crossPoint.y(), 296.0, 140.0, 332.0, 140.0);
    curve.cubicTo(374.0, 140.0, 360.0, 398.0, 412.0, 398.0);
    return curve;
}

void drawTile(QPainter &painter)
{
    SurfaceLook look{512, 512, 0x4c4f474fU, QColor(120, 125, 132), {}, 0.03};
    look.layers = {{256, 2, 0.08}, {64, 2, 0.05}, {512, 512, 0.05}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(brushedSurface(look)));
    painter.drawRoundedRect(tile, 104.0, 104.0);
    QLinearGradient light(0, tile.top(), 0, tile.bottom());
    light.setColorAt(0.0, QColor(255, 255, 255, 70));
    light.setColorAt(0.5, QColor(255, 255, 255, 0));
    light.setColorAt(1.0, QColor(0, 0, 0, 110));
    painter.setBrush(light);
    painter.drawRoundedRect(tile, 104.0, 104.0);
    QLinearGradient rim(0, tile.top(), 0, tile.bottom());
    rim.setColorAt(0.0, QColor(235, 237, 240));
    rim.setColorAt(1.0, QColor(30, 31, 34));
    painter.setPen(QPen(QBrush(rim), 8.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(tile.adjusted(4, 4, -4, -4), 100.0, 100.0);
}

void drawScreen(QPainter &painter)
{
    QLinearGradient bevel(0, screenRect.top() - 10, 0, screenRect.bottom() + 10);
    bevel.setColorAt(0.0, QColor(10, 10, 12));
    bevel.setColorAt(1.0, QColor(210, 212, 216));
    painter.setPen(Qt::NoPen);
    painter.setBrush(bevel);
    painter.drawRoundedRect(screenRect.adjusted(-10, -10, 10, 10), 54.0, 54.0);
    QRadialGradient glass(QPointF(256.0, 230.0), 260.0);
    glass.setColorAt(0.0, QColor(58, 14, 2));
    glass.setColorAt(1.0, QColor(12, 0, 0));
    painter.setBrush(glass);
    painter.drawRoundedRect(screenRect, 44.0, 44.0);
    painter.save();
    painter.setClipRect(screenRect.adjusted(6, 6, -6, -6));
    painter.setPen(QPen(QColor(255, 120, 40, 34), 2.0));
    for (double t = screenRect.left() + 45.0; t < screenRect.right(); t += 45.0) {
        painter.drawLine(QPointF(t, screenRect.top()), QPointF(t, screenRect.bottom()));
        painter.drawLine(QPointF(screenRect.left(), t), QPointF(screenRect.right(), t));
    }
    painter.restore();
}

void drawCurve(QPainter &painter)
{
    const QPainterPath curve = mCurve();
    QPainterPath area = curve;
    area.lineTo(412.0, screenRect.bottom());
    area.lineTo(100.0, screenRect.bottom());
    area.closeSubpath();
    QLinearGradient under(0, 140.0, 0, screenRect.bottom());
    under.setColorAt(0.0, QColor(255, 170, 0, 90));
    under.setColorAt(1.0, QColor(255, 90, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(under);
    painter.drawPath(area);
    painter.setBrush(Qt::NoBrush);
    const struct
    {
        double width;
        QColor colour;
    } strokes[] = {{44.0, QColor(255, 120, 0, 30)},
                   {28.0, QColor(255, 140, 0, 70)},
                   {17.0, QColor(255, 176, 0)},
                   {6.0, QColor(255, 236, 150, 220)}};
    for (const auto &stroke : strokes) {
        painter.setPen(roundPen(stroke.colour, stroke.width));
        painter.drawPath(curve);
    }
}

void drawCrossPoint(QPainter &painter)
{
    painter.save();
    painter.setClipRect(screenRect.adjusted(8, 8, -8, -8));
    painter.setPen(QPen(QColor(255, 255, 255, 110), 3.0));
    painter.drawLine(QPointF(screenRect.left(), crossPoint.y()),
                     QPointF(screenRect.right(), crossPoint.y()));
    painter.drawLine(QPointF(crossPoint.x(), screenRect.top()),
                     QPointF(crossPoint.x(), screenRect.bottom()));
    painter.restore();
    QRadialGradient glow(crossPoint, 40.0);
    glow.setColorAt(0.0, QColor(255, 40, 20, 160));
    glow.setColorAt(1.0, QColor(255, 40, 20, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(crossPoint, 40.0, 40.0);
    painter.setPen(QPen(QColor(255, 230, 220), 4.0));
    painter.setBrush(Palette::signalRed);
    painter.drawEllipse(crossPoint, 17.0, 17.0);
}

void drawGloss(QPainter &painter)
{
    QPainterPath glassShape;
    glassShape.addRoundedRect(screenRect, 44.0, 44.0);
    QPainterPath shine;
    shine.addEllipse(QRectF(-80.0, -300.0, 700.0, 500.0));
    QLinearGradient fade(0, screenRect.top(), 0, 200.0);
    fade.setColorAt(0.0, QColor(255, 255, 255, 46));
    fade.setColorAt(1.0, QColor(255, 255, 255, 6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fade);
    painter.drawPath(glassShape.intersected(shine));
}

QImage detailedIcon(int size)
{
    QImage image = transparentCanvas(size, size);
    QPainter painter;
    beginArt(painter, image);
    painter.scale(size / design, size / design);
    drawTile(painter);
    drawScreen(painter);
    drawCurve(painter);
    drawCrossPoint(painter);
    drawGloss(painter);
    return image;
}

QImage tinyIcon()
{
    QImage image = transparentCanvas(16, 16);
    QPainter painter;
    beginArt(painter, image);
    QLinearGradient steel(0, 0, 0, 16);
    steel.setColorAt(0.0, QColor(200, 203, 208));
    steel.setColorAt(1.0, QColor(70, 73, 78));
    painter.setPen(Qt::NoPen);
    painter.setBrush(steel);
    painter.drawRoundedRect(QRectF(0.0, 0.0, 16.0, 16.0), 3.5, 3.5);
    painter.setBrush(QColor(34, 6, 0));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13.0, 13.0), 2.0, 2.0);
    const QPointF points[] = {{2.8, 12.6}, {5.4, 4.6}, {8.0, 9.4}, {10.6, 4.6}, {13.2, 12.6}};
    painter.setPen(roundPen(QColor(255, 140, 0, 110), 2.6));
    painter.drawPolyline(points, 5);
    painter.setPen(roundPen(Palette::amber, 1.5));
    painter.drawPolyline(points, 5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::signalRed);
    painter.drawEllipse(QPointF(8.0, 9.6), 1.5, 1.5);
    return image;
}

} // namespace

QImage productIcon(int size)
{
    return size <= 16 ? tinyIcon() : detailedIcon(size);
}
