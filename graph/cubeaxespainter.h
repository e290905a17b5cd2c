#ifndef CUBEAXESPAINTER_H
#define CUBEAXESPAINTER_H

#include <QList>
#include <QMatrix4x4>
#include <QPointF>
#include <QRectF>
#include <QVector3D>

#include <array>

class QPainter;

// What the three axes of the cube stand for: x runs from xFrom at the left face to xTo at the
// right, z from zFrom at the front face to zTo at the back, y from yLow at the floor to yHigh at
// the lid.
struct CubeAxisRanges
{
    double xFrom = 0.0;
    double xTo = 1.0;
    double zFrom = 0.0;
    double zTo = 1.0;
    double yLow = 0.0;
    double yHigh = 1.0;
};

// The twelve edges of the unit cube in two passes around the surface: the edges behind the
// cube's centre are drawn before it in gray, the others after it in white together with the
// tick marks and labels of the three ticked edges.
class CubeAxesPainter
{
public:
    // corners hold the cube's corners in model space; toProjected maps model space to projected
    // space (depth in z), toPixels projected space to image pixels.
    CubeAxesPainter(const std::array<QVector3D, 8> &corners, const QMatrix4x4 &toProjected,
                    const QMatrix4x4 &toPixels, const CubeAxisRanges &ranges);

    void drawBack(QPainter &painter, bool antialiased) const;
    // Returns where the tick labels went, in image pixels; every one lies inside the image and
    // none overlaps another.
    QList<QRectF> drawFront(QPainter &painter, bool antialiased) const;

private:
    struct Edge
    {
        int from;
        int to;
    };

    void drawEdges(QPainter &painter, const QColor &colour, bool front) const;
    void drawTicks(QPainter &painter, const Edge &edge, double from, double to, bool vertical,
                   const QColor &colour, QList<QRectF> &labels) const;
    bool placeLabel(const QRectF &box, const QVector3D &point, float outer, double scale,
                    const QRectF &image, const QList<QRectF> &labels, QRectF &placed) const;
    bool isInFront(const Edge &edge) const;
    QPointF middle(const Edge &edge) const;
    Edge valueEdge(int imageWidth) const;
    QVector3D projected(const QVector3D &model) const;
    QPointF pixel(const QVector3D &projected) const;

    const std::array<QVector3D, 8> &m_corners;
    QMatrix4x4 m_toProjected;
    QMatrix4x4 m_toPixels;
    CubeAxisRanges m_ranges;
    double m_centreDepth = 0.0;
};

#endif // CUBEAXESPAINTER_H
