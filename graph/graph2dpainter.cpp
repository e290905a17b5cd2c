#include "graph/graph2dpainter.h"

#include "graph/graphlogging.h"
#include "graph/minmaxmultidimdata.h"

#include <QPainter>
#include <QSet>

#include <cmath>

namespace {

const QColor curveColour(255, 238, 0);
constexpr double historySpacing = 2.0;
constexpr double dotRadius = 1.2;

// Pairs of segment ends along a polyline: every inner point appears twice.
QList<QPointF> segmentEnds(const QList<QPointF> &points)
{
    QList<QPointF> ends;
    ends.reserve(2 * points.size());
    for (qsizetype k = 1; k < points.size(); ++k) {
        ends.append(points[k - 1]);
        ends.append(points[k]);
    }
    return ends;
}

// Segments of the full point list that touch no gap: a missing value that is final cuts the
// curve on both sides of it.
QList<QPointF> segmentsAvoidingGaps(const QList<QPointF> &points, const QSet<int> &gaps)
{
    QList<QPointF> ends;
    ends.reserve(2 * points.size());
    for (qsizetype k = 1; k < points.size(); ++k) {
        if (gaps.contains(int(points[k - 1].x())) || gaps.contains(int(points[k].x())))
            continue;
        ends.append(points[k - 1]);
        ends.append(points[k]);
    }
    return ends;
}

// Distance between neighbouring values: a history keeps a fixed spacing from the right edge, a
// scan spreads its values from the left edge to the right one.
double horizontalStep(bool history, qsizetype count, int left, int right)
{
    if (history)
        return historySpacing;
    return count >= 2 ? double(right - left) / double(count - 1) : right - left + 1;
}

// The curve colour with the given opacity goes into the painter's own pen and brush, keeping
// their other properties; the pen is returned for the lines drawn after the dots.
QPen useCurveColour(QPainter &painter, double opacity)
{
    QColor colour = curveColour;
    colour.setAlphaF(float(opacity));
    QPen pen = painter.pen();
    pen.setColor(colour);
    painter.setPen(pen);
    QBrush brush = painter.brush();
    brush.setColor(colour);
    if (brush.style() == Qt::NoBrush)
        brush.setStyle(Qt::SolidPattern);
    painter.setBrush(brush);
    return pen;
}

} // namespace

Graph2DPainter::Graph2DPainter(const MinMaxMultiDimData &data) : m_data(data) {}

void Graph2DPainter::paint(QPainter &painter, const QRect &rect) const
{
    const QList<double> values = m_data.extractValues(m_data.paintIndices());
    if (values.isEmpty()) {
        qCDebug(lcGraph) << "paint2D: no values";
        return;
    }
    double lo = m_data.minimum();
    double hi = m_data.maximum();
    // Without a range (nothing but missing values so far) no value has a height.
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return;
    if (lo == hi) {
        lo -= 1.0;
        hi += 1.0;
    }
    const double range = hi - lo;
    const qsizetype n = values.size();
    const int left = rect.left();
    const int right = rect.right();
    const double step = horizontalStep(m_data.displayAsScan(), n, left, right);

    QPen pen = useCurveColour(painter, m_data.drawSettings2D().opacity);
    QList<QPointF> all;
    QList<QPointF> valid;
    QSet<int> gaps;
    const double height = rect.bottom() - rect.top() + 1;
    double x = right;
    for (qsizetype k = n - 1; k >= 0 && right > left - 1; --k) {
        const double v = values[k];
        const double y = rect.bottom() - (v - lo) / range * height;
        if (std::isnan(v)) {
            gaps.insert(int(x));
        } else {
            painter.drawEllipse(QRectF(x - dotRadius, y - dotRadius, 2 * dotRadius, 2 * dotRadius));
            valid.append(QPointF(x, y));
        }
        all.append(QPointF(x, y));
        if (x - step <= left - 1)
            break;
        x -= step;
    }

    pen.setWidth(1);
    painter.setPen(pen);
    if (all.size() > 1) {
        const QList<QPointF> ends =
            m_data.scanComplete() ? segmentsAvoidingGaps(all, gaps) : segmentEnds(valid);
        painter.drawLines(ends.constData(), int(ends.size() / 2));
    }
}
