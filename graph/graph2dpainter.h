#ifndef GRAPH2DPAINTER_H
#define GRAPH2DPAINTER_H

#include <QList>
#include <QRect>

class MinMaxMultiDimData;
class QPainter;

// Draws a graph with one free dimension as a yellow curve of dots joined by thin lines. In
// history mode the newest value sits at the right edge and older ones follow 2 px apart; in scan
// mode the values span the rectangle from its left to its right edge.
class Graph2DPainter
{
public:
    explicit Graph2DPainter(const MinMaxMultiDimData &data);

    void paint(QPainter &painter, const QRect &rect) const;

private:
    const MinMaxMultiDimData &m_data;
};

#endif // GRAPH2DPAINTER_H
