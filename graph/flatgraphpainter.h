#ifndef FLATGRAPHPAINTER_H
#define FLATGRAPHPAINTER_H

#include <QImage>
#include <QList>
#include <QRect>
#include <QRgb>

class MinMaxMultiDimData;
class QPainter;

// Draws a graph with two free dimensions as a heat map: one pixel of an indexed image per data
// point, coloured through the ramp, stretched to the graph rectangle. Index 0 is reserved for
// missing values; the range minimum .. maximum spans indices 1 .. 255.
class FlatGraphPainter
{
public:
    void paint(const MinMaxMultiDimData &data, QPainter &painter, const QRect &rect);

    // The indexed image of the last paint, first row of the second free dimension at the bottom.
    const QImage &image() const { return m_image; }

private:
    void fillImage(const QList<double> &values, double minimum, double maximum);

    QList<QRgb> m_colourTable;
    QImage m_image;
};

#endif // FLATGRAPHPAINTER_H
