#include "chromebuttons.h"

#include "canvas.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr int buttonSide = 16;

QColor accentOf(ChromeGlyph glyph, bool lit)
{
    if (lit)
        return Palette::amber;
    switch (glyph) {
    case ChromeGlyph::Close:
        return Palette::signalRed;
    case ChromeGlyph::Power:
        return Palette::amber;
    case ChromeGlyph::Minimize:
        return QColor(120, 200, 255);
    case ChromeGlyph::Help:
        return QColor(90, 170, 255);
    }
    return Palette::amber;
}

void drawBezel(QPainter &painter)
{
    QLinearGradient ring(0, 0, 0, buttonSide);
    ring.setColorAt(0.0, QColor(8, 8, 10));
    ring.setColorAt(1.0, QColor(170, 172, 176));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawEllipse(QRectF(0.5, 0.5, 15.0, 15.0));
}

void drawFace(QPainter &painter, ButtonState state, const QColor &accent)
{
    const QRectF face(2.0, 2.0, 12.0, 12.0);
    QLinearGradient dome(0, face.top(), 0, face.bottom());
    if (state == ButtonState::Down) {
        dome.setColorAt(0.0, QColor(26, 28, 31));
        dome.setColorAt(1.0, QColor(78, 82, 88));
    } else {
        dome.setColorAt(0.0, QColor(132, 137, 145));
        dome.setColorAt(0.55, QColor(72, 76, 82));
        dome.setColorAt(1.0, QColor(40, 42, 46));
    }
    painter.setBrush(dome);
    painter.drawEllipse(face);
    if (state == ButtonState::Hover) {
        QRadialGradient glow(face.center(), 6.5);
        QColor inner = accent;
        inner.setAlpha(190);
        QColor outer = accent;
        outer.setAlpha(40);
        glow.setColorAt(0.0, inner);
        glow.setColorAt(1.0, outer);
        painter.setBrush(glow);
        painter.drawEllipse(face);
    }
    if (state != ButtonState::Down) {
        QLinearGradient gloss(0, 2.5, 0, 7.5);
        gloss.setColorAt(0.0, QColor(255, 255, 255, 90));
        gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.setBrush(gloss);
        painter.drawEllipse(QRectF(4.0, 2.6, 8.0, 5.0));
    }
}

void strokeGlyph(QPainter &painter, ChromeGlyph glyph, const QPen &pen)
{
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    switch (glyph) {
    case ChromeGlyph::Close:
        painter.drawLine(QPointF(5.6, 5.6), QPointF(10.4, 10.4));
        painter.drawLine(QPointF(10.4, 5.6), QPointF(5.6, 10.4));
        break;
    case ChromeGlyph::Power:
        painter.drawArc(QRectF(4.6, 5.0, 6.8, 6.8), 125 * 16, 290 * 16);
        painter.drawLine(QPointF(8.0, 4.2), QPointF(8.0, 8.0));
        break;
    case ChromeGlyph::Minimize:
        painter.drawLine(QPointF(5.2, 10.0), QPointF(10.8, 10.0));
        break;
    case ChromeGlyph::Help: {
        QPainterPath hook;
        hook.moveTo(5.9, 6.4);
        hook.cubicTo(5.9, 4.3, 10.2, 4.3, 10.2, 6.4);
        hook.cubicTo(10.2, 7.9, 8.0, 7.8, 8.0, 9.4);
        painter.drawPath(hook);
        painter.drawPoint(QPointF(8.0, 11.6));
        break;
    }
    }
}

QColor glyphColour(bool lit, ButtonState state, const QColor &accent)
{
    const QColor base = lit ? accent : Palette::glyphLight;
    switch (state) {
    case ButtonState::Down:
        return base.darker(118);
    case ButtonState::Hover:
        return lit ? QColor(255, 246, 200) : QColor(Qt::white);
    case ButtonState::Normal:
        break;
    }
    return base;
}

} // namespace

QImage chromeButton(ChromeGlyph glyph, bool lit, ButtonState state)
{
    QImage image = transparentCanvas(buttonSide, buttonSide);
    QPainter painter;
    beginArt(painter, image);
    const QColor accent = accentOf(glyph, lit);
    drawBezel(painter);
    drawFace(painter, state, accent);
    const double sink = state == ButtonState::Down ? 0.5 : 0.0;
    painter.translate(0.0, sink + 0.8);
    strokeGlyph(painter, glyph, roundPen(QColor(0, 0, 0, 130), 1.7));
    painter.translate(0.0, -0.8);
    strokeGlyph(painter, glyph, roundPen(glyphColour(lit, state, accent), 1.5));
    return image;
}
