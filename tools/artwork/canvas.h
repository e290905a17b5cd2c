#ifndef ARTWORK_CANVAS_H
#define ARTWORK_CANVAS_H

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>

// A fully transparent ARGB image to draw an icon on.
QImage transparentCanvas(int width, int height);

// Starts antialiased painting with smooth pixmap transforms on an image.
void beginArt(QPainter &painter, QImage &image);

// A pen with round caps and joins, the look of every glyph stroke.
QPen roundPen(const QColor &colour, double width);

// The program's own sans-serif face at a pixel size; bold on request.
QFont artFont(int pixelSize, bool bold);

// Colours shared across the images so they read as one family.
namespace Palette {
const QColor amber(255, 192, 0);
const QColor amberDeep(255, 120, 0);
const QColor signalRed(230, 62, 48);
const QColor glyphLight(226, 228, 232);
const QColor screen(24, 1, 0);
} // namespace Palette

#endif
