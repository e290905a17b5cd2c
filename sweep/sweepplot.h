#ifndef SWEEPPLOT_H
#define SWEEPPLOT_H

#include "excel/sweeppool.h"
#include "scan/sweepgrid.h"

#include <QImage>

class MinMaxMultiDimData;

// The pictures of a sweep, painted off screen by the watches' own painters: for one varied input
// a curve per watch, for two a colour map and a lit surface per watch, each with its axes named
// and ticked.
class SweepPlot
{
public:
    SweepPlot(const SweepGrid &grid, const SweepPool::Cells &cells);

    // Writes the PNG files into directory (made when missing); false, and why, when it could
    // not. results hold one number per watch and point, point after point.
    bool write(const QString &directory, const QList<double> &results, QString *error) const;

private:
    struct Picture
    {
        QString suffix;
        QImage image;
    };

    QList<Picture> pictures(int watch, const QList<double> &values) const;
    QImage curve(MinMaxMultiDimData &data, int watch) const;
    QImage colourMap(MinMaxMultiDimData &data, int watch) const;
    QImage surface(MinMaxMultiDimData &data, int watch) const;
    QString inputTitle(int axis) const;
    QString watchTitle(int watch) const;

    SweepGrid grid;
    SweepPool::Cells cells;
};

#endif
