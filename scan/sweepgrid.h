#ifndef SWEEPGRID_H
#define SWEEPGRID_H

#include <QList>
#include <QString>

// One varied input of a sweep: count values evenly spaced from `from` to `to`, both included.
struct SweepAxis
{
    QString cell;
    double from = 0.0;
    double to = 0.0;
    int count = 1;

    // from + (to - from) * i / (count - 1); from alone for a single value.
    double valueAt(int i) const;
    // The axis as written on the command line: CELL=FROM:TO:COUNT.
    QString text() const;
};

// Every combination of the axes' values, numbered with the first axis varying fastest (the
// order of the scans' grids and of the watches' data stores).
class SweepGrid
{
public:
    SweepGrid() = default;
    explicit SweepGrid(const QList<SweepAxis> &axes) : m_axes(axes) {}

    const QList<SweepAxis> &axes() const { return m_axes; }
    // The number of points; saturates at a value far above any grid a sweep takes.
    qint64 pointCount() const;
    QList<int> positions(qint64 point) const;
    // The inputs' values at a point, one per axis.
    QList<double> values(qint64 point) const;

    static constexpr qint64 saturated = qint64(1) << 50;

private:
    QList<SweepAxis> m_axes;
};

#endif
