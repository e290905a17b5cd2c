#include "panelicons.h"

#include "canvas.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <functional>

namespace {

using Glyph = std::function<void(QPainter &, const QColor &ink, const QColor &accent)>;

// Draws a glyph twice: a soft dark shadow one pixel lower, then the glyph itself.
void shadowed(QPainter &painter, const Glyph &glyph)
{
    painter.save();
    painter.translate(0.0, 1.0);
    glyph(painter, QColor(0, 0, 0, 150), QColor(0, 0, 0, 150));
    painter.restore();
    glyph(painter, Palette::glyphLight, Palette::amber);
}

QImage watchIcon(const Glyph &glyph)
{
    QImage image = transparentCanvas(24, 24);
    QPainter painter;
    beginArt(painter, image);
    shadowed(painter, glyph);
    return image;
}

void arrowOut(QPainter &painter, const QColor &colour, QPointF tip)
{
    painter.setPen(roundPen(colour, 1.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(tip + QPointF(-5.0, 5.0), tip);
    painter.drawLine(tip, tip + QPointF(-3.6, 0.0));
    painter.drawLine(tip, tip + QPointF(0.0, 3.6));
}

void miniCurve(QPainter &painter, const QRectF &box, const QPen &pen)
{
    QPainterPath curve;
    curve.moveTo(box.left(), box.bottom());
    curve.cubicTo(box.left() + box.width() * 0.35, box.bottom(), box.left() + box.width() * 0.3,
                  box.top(), box.center().x(), box.top());
    curve.cubicTo(box.left() + box.width() * 0.7, box.top(), box.right() - box.width() * 0.2,
                  box.center().y(), box.right(), box.center().y() - box.height() * 0.15);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
}

// A small raised key with a dark steel face, 26 x 18 pixels.
void keyCanvas(QPainter &painter, QImage &image)
{
    image = transparentCanvas(26, 18);
    beginArt(painter, image);
    const QRectF outer(0.5, 0.5, 25.0, 17.0);
    painter.setPen(QPen(QColor(0, 0, 0, 220), 1.0));
    QLinearGradient face(0, 0, 0, 18);
    face.setColorAt(0.0, QColor(104, 109, 116));
    face.setColorAt(0.5, QColor(62, 65, 70));
    face.setColorAt(1.0, QColor(36, 38, 41));
    painter.setBrush(face);
    painter.drawRoundedRect(outer, 3.0, 3.0);
    painter.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
    painter.drawLine(QPointF(3.0, 1.5), QPointF(23.0, 1.5));
}

void drawGraphFrame(QPainter &painter, const QRectF &frame, double stroke)
{
    painter.setPen(QPen(QColor(200, 202, 206), stroke));
    painter.setBrush(QColor(24, 1, 0, 220));
    painter.drawRoundedRect(frame, 1.5, 1.5);
    const QRectF inside = frame.adjusted(frame.width() * 0.16, frame.height() * 0.25,
                                         -frame.width() * 0.16, -frame.height() * 0.22);
    miniCurve(painter, inside, roundPen(Palette::amber, stroke + 0.2));
}

QImage graphIcon(const QRectF &frame, double stroke)
{
    QImage image = transparentCanvas(24, 24);
    QPainter painter;
    beginArt(painter, image);
    drawGraphFrame(painter, frame, stroke);
    return image;
}

} // namespace

QImage watchCloseIcon()
{
    return watchIcon([](QPainter &painter, const QColor &ink, const QColor &) {
        painter.setPen(roundPen(ink, 2.2));
        painter.drawLine(QPointF(7.5, 7.5), QPointF(16.5, 16.5));
        painter.drawLine(QPointF(16.5, 7.5), QPointF(7.5, 16.5));
    });
}

QImage watchExportDataIcon()
{
    return watchIcon([](QPainter &painter, const QColor &ink, const QColor &accent) {
        painter.setPen(QPen(ink, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(4.5, 8.5, 12.0, 11.0));
        painter.drawLine(QPointF(4.5, 12.0), QPointF(16.5, 12.0));
        painter.drawLine(QPointF(4.5, 15.5), QPointF(16.5, 15.5));
        painter.drawLine(QPointF(9.5, 8.5), QPointF(9.5, 19.5));
        arrowOut(painter, accent, QPointF(19.5, 4.5));
    });
}

QImage watchExportImageIcon()
{
    return watchIcon([](QPainter &painter, const QColor &ink, const QColor &accent) {
        painter.setPen(QPen(ink, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(4.5, 8.5, 12.0, 11.0));
        QPainterPath hills;
        hills.moveTo(5.5, 18.0);
        hills.lineTo(9.0, 13.5);
        hills.lineTo(11.5, 16.0);
        hills.lineTo(13.0, 14.5);
        hills.lineTo(15.5, 18.0);
        painter.setPen(roundPen(ink, 1.3));
        painter.drawPath(hills);
        painter.drawPoint(QPointF(13.2, 11.2));
        arrowOut(painter, accent, QPointF(19.5, 4.5));
    });
}

QImage watchButtonsIndicator()
{
    QImage image = transparentCanvas(16, 16);
    QPainter painter;
    beginArt(painter, image);
    painter.setPen(QPen(QColor(0, 0, 0, 200), 1.0));
    painter.setBrush(QColor(48, 48, 48, 200));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15.0, 15.0), 3.0, 3.0);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
    painter.drawLine(QPointF(3.0, 1.5), QPointF(13.0, 1.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::glyphLight);
    for (int k = 0; k < 3; ++k)
        painter.drawEllipse(QPointF(4.5 + 3.5 * k, 8.5), 1.3, 1.3);
    return image;
}

QImage scanKey()
{
    QImage image;
    QPainter painter;
    keyCanvas(painter, image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::amber);
    QPainterPath play;
    play.moveTo(5.0, 5.0);
    play.lineTo(10.0, 9.0);
    play.lineTo(5.0, 13.0);
    play.closeSubpath();
    painter.drawPath(play);
    miniCurve(painter, QRectF(12.0, 5.0, 10.0, 8.0), roundPen(Palette::glyphLight, 1.4));
    return image;
}

QImage settingsKey()
{
    QImage image;
    QPainter painter;
    keyCanvas(painter, image);
    const double rows[] = {5.5, 9.0, 12.5};
    const double knobs[] = {15.0, 9.5, 17.0};
    for (int k = 0; k < 3; ++k) {
        painter.setPen(roundPen(QColor(150, 154, 160), 1.2));
        painter.drawLine(QPointF(6.0, rows[k]), QPointF(20.0, rows[k]));
        painter.setPen(QPen(QColor(0, 0, 0, 200), 0.8));
        painter.setBrush(k == 1 ? Palette::amber : Palette::glyphLight);
        painter.drawRoundedRect(QRectF(knobs[k] - 1.6, rows[k] - 2.0, 3.2, 4.0), 0.8, 0.8);
    }
    return image;
}

QImage smallGraphIcon()
{
    return graphIcon(QRectF(6.5, 8.5, 11.0, 8.0), 1.0);
}

QImage bigGraphIcon()
{
    return graphIcon(QRectF(1.5, 3.5, 21.0, 17.0), 1.2);
}
