#include "splash.h"

#include "canvas.h"
#include "surfaces.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

constexpr int splashWidth = 520;
constexpr int splashHeight = 300;
const QRectF plate(0.5, 0.5, splashWidth - 1.0, splashHeight - 1.0);
const QRectF graphScreen(24.0, 118.0, 472.0, 146.0);

// The height field of the pictured surface: two hills over a gentle ripple.
double surfaceHeight(double u, double v)
{
    const auto hill = [](double du, double dv, double spread) {
        return std::exp(-(du * du + dv * dv) / spread);
    };
    return 0.95 * hill(u - 0.33, v - 0.58, 0.03) + 0.6 * hill(u - 0.7, v - 0.3, 0.018) +
           0.12 * std::sin(9.0 * u) * std::cos(7.0 * v);
}

// The program's graph colour ramp, from blue-violet at 0 to red at 1.
QColor rampColour(double t)
{
    const int i = std::clamp(int(t * 255.0), 0, 255);
    return QColor::fromHsv(255 - i, 255, int(i / 255.0 * 155.0 + 100.0));
}

QPointF project(double u, double v, double h)
{
    const double centreX = graphScreen.center().x();
    return {centreX + (u - v) * 212.0, graphScreen.top() + 54.0 + (u + v) * 40.0 - h * 58.0};
}

struct Facet
{
    QPolygonF polygon;
    double depth;
    QColor colour;
};

QList<Facet> surfaceFacets()
{
    constexpr int cells = 40;
    const double low = -0.13;
    const double high = 1.0;
    QList<Facet> facets;
    for (int i = 0; i < cells; ++i) {
        for (int j = 0; j < cells; ++j) {
            const double u0 = double(i) / cells, u1 = double(i + 1) / cells;
            const double v0 = double(j) / cells, v1 = double(j + 1) / cells;
            const double h00 = surfaceHeight(u0, v0), h10 = surfaceHeight(u1, v0);
            const double h01 = surfaceHeight(u0, v1), h11 = surfaceHeight(u1, v1);
            const double mean = (h00 + h10 + h01 + h11) / 4.0;
            // Light from the back left: facets rising toward the viewer are brighter.
            const double slope = (h00 - h11) * 6.0 + (h01 - h10) * 3.0;
            QColor colour = rampColour((mean - low) / (high - low));
            colour = slope >= 0 ? colour.lighter(100 + int(std::min(slope, 1.0) * 45))
                                : colour.darker(100 + int(std::min(-slope, 1.0) * 70));
            facets.append({QPolygonF({project(u0, v0, h00), project(u1, v0, h10),
                                      project(u1, v1, h11), project(u0, v1, h01)}),
                           u0 + v0, colour});
        }
    }
    std::stable_sort(facets.begin(), facets.end(),
                     [](const Facet &a, const Facet &b) { return a.depth < b.depth; });
    return facets;
}

void drawPlate(QPainter &painter)
{
    QPainterPath shape;
    shape.addRoundedRect(plate, 16.0, 16.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(stainlessSteelSurface()));
    painter.drawPath(shape);
    QLinearGradient light(0, 0, 0, splashHeight);
    light.setColorAt(0.0, QColor(255, 255, 255, 36));
    light.setColorAt(0.45, QColor(255, 255, 255, 0));
    light.setColorAt(1.0, QColor(0, 0, 0, 90));
    painter.setBrush(light);
    painter.drawPath(shape);
    QLinearGradient rim(0, 0, 0, splashHeight);
    rim.setColorAt(0.0, QColor(200, 203, 208));
    rim.setColorAt(1.0, QColor(20, 20, 22));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QBrush(rim), 2.0));
    painter.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 15.5, 15.5);
    painter.setPen(QPen(QColor(0, 0, 0, 150), 1.0));
    painter.drawRoundedRect(plate.adjusted(5, 5, -5, -5), 11.0, 11.0);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
    painter.drawRoundedRect(plate.adjusted(6, 6, -4, -4), 11.0, 11.0);
}

// Draws text pieces one after the other from a baseline point, each in its own colour.
void drawRun(QPainter &painter, QPointF at, const QFont &font,
             const QList<QPair<QString, QColor>> &pieces)
{
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    for (const auto &piece : pieces) {
        painter.setPen(QColor(0, 0, 0, 170));
        painter.drawText(at + QPointF(0.0, 2.0), piece.first);
        painter.setPen(piece.second);
        painter.drawText(at, piece.first);
        at.rx() += metrics.horizontalAdvance(piece.first);
    }
}

void drawTitle(QPainter &painter)
{
    const QColor white(Qt::white);
    drawRun(painter, QPointF(28.0, 64.0), artFont(42, true),
            {{QStringLiteral("Marlow"), white},
             {QStringLiteral("i"), Palette::signalRed},
             {QStringLiteral("n "), white},
             {QStringLiteral("Pro"), QColor(0xff, 0xcc, 0x00)}});
    drawRun(painter, QPointF(31.0, 90.0), artFont(13, false),
            {{QStringLiteral("Sliders, watches and graphs for your spreadsheets"),
              QColor(0xd0, 0xd0, 0xd0)}});
    painter.setPen(QPen(QColor(0, 0, 0, 140), 1.0));
    painter.drawLine(QPointF(24.0, 103.5), QPointF(400.0, 103.5));
    painter.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
    painter.drawLine(QPointF(24.0, 104.5), QPointF(400.0, 104.5));
}

void drawGraph(QPainter &painter)
{
    QLinearGradient bevel(0, graphScreen.top(), 0, graphScreen.bottom());
    bevel.setColorAt(0.0, QColor(0, 0, 0, 200));
    bevel.setColorAt(1.0, QColor(255, 255, 255, 90));
    painter.setPen(QPen(QBrush(bevel), 2.0));
    painter.setBrush(Palette::screen);
    painter.drawRoundedRect(graphScreen, 6.0, 6.0);
    painter.save();
    painter.setClipRect(graphScreen.adjusted(2, 2, -2, -2));
    painter.setPen(QPen(QColor(0, 0, 0, 110), 0.6));
    for (const Facet &facet : surfaceFacets()) {
        painter.setBrush(facet.colour);
        painter.drawPolygon(facet.polygon);
    }
    painter.restore();
}

void drawFooter(QPainter &painter)
{
    painter.setFont(artFont(11, false));
    painter.setPen(QColor(170, 172, 176));
    painter.drawText(QPointF(28.0, 284.0), QStringLiteral("Version 1.0"));
    painter.drawText(QRectF(300.0, 272.0, 192.0, 16.0), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Starting\u2026"));
}

} // namespace

QImage splashPicture()
{
    QImage image = transparentCanvas(splashWidth, splashHeight);
    QPainter painter;
    beginArt(painter, image);
    drawPlate(painter);
    drawTitle(painter);
    drawGraph(painter);
    drawFooter(painter);
    return image;
}
