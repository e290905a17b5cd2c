#ifndef SCANGRID_H
#define SCANGRID_H

#include "scan/scandimension.h"

#include <QList>

// The position on every axis of a linear index over axes of the given point counts, the first
// axis varying fastest; an axis of fewer than one point counts as one.
QList<int> gridPositions(qint64 index, const QList<int> &counts);

// The grid a scan walks: one axis per scanned slider, sized from the number of axes and the
// precision setting, refined so that the finest axis gets coarser first, and snapped so that
// every axis ends on a grid point. A linear index runs over all points with the first axis
// varying fastest, which is also the value layout of the watches' data stores.
class ScanGrid
{
public:
    ScanGrid() = default;
    explicit ScanGrid(const QList<ScanDimension> &dimensions);

    // The number of points the precision zoom (12 to 100) allows for sliderCount axes.
    static int targetPoints(int sliderCount, int zoom);

    // Refines towards targetPoints(), then snaps.
    void size(int zoom);
    // Coarsens the axis with the most points one step at a time while the grid has more
    // points than target.
    void refine(qint64 target);
    // Lowers each maximum to its axis' last grid point.
    void snap();

    const QList<ScanDimension> &dimensions() const { return m_dimensions; }
    bool isEmpty() const { return m_dimensions.isEmpty(); }
    int coarsestDimension() const;
    // The product of the point counts, saturated far above any grid the precision allows.
    qint64 pointProduct() const;
    // The number of points the walk visits; 0 for a degenerate grid (an axis without points).
    int totalPoints() const;
    // The position on every axis of a linear index.
    QList<int> positions(int index) const;
    // The values a point writes, one per axis in axis order.
    QList<double> values(const QList<int> &positions) const;
    // How many points a stopped scan computes at least, so that it leaves a usable graph.
    int minPointsBeforeStop() const;

private:
    QList<ScanDimension> m_dimensions;
};

// The order in which a scan visits a grid of total points: both corners first, then widely
// spaced points, then ever finer midpoints, consecutive passes running in opposite directions.
// Every index is visited exactly once, so a graph is usable early and gets finer.
class ScanWalk
{
public:
    explicit ScanWalk(int total);

    // The next index; false once every index was visited.
    bool next(int &index);
    int total() const { return m_total; }

private:
    void advance();

    int m_total = 0;
    int m_cornersDone = 0;
    qint64 m_stride = 0;
    qint64 m_index = 0;
    bool m_backward = false;
    bool m_done = false;
};

#endif
