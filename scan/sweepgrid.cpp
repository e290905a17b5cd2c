#include "scan/sweepgrid.h"
#include "scan/scangrid.h"
#include "scan/sweeptable.h"

double SweepAxis::valueAt(int i) const
{
    if (count <= 1)
        return from;
    return from + (to - from) * i / (count - 1);
}

QString SweepAxis::text() const
{
    return QString("%1=%2:%3:%4")
        .arg(cell, SweepTable::number(from), SweepTable::number(to))
        .arg(count);
}

qint64 SweepGrid::pointCount() const
{
    if (m_axes.isEmpty())
        return 0;
    qint64 product = 1;
    for (const SweepAxis &axis : m_axes) {
        product *= axis.count;
        if (product > saturated)
            return saturated;
    }
    return product;
}

QList<int> SweepGrid::positions(qint64 point) const
{
    QList<int> counts;
    counts.reserve(m_axes.size());
    for (const SweepAxis &axis : m_axes)
        counts.append(axis.count);
    return gridPositions(point, counts);
}

QList<double> SweepGrid::values(qint64 point) const
{
    const QList<int> at = positions(point);
    QList<double> result;
    result.reserve(m_axes.size());
    for (qsizetype i = 0; i < m_axes.size(); ++i)
        result.append(m_axes[i].valueAt(at[i]));
    return result;
}
