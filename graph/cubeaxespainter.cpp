#include "graph/cubeaxespainter.h"

#include "graph/axisticks.h"

#include <QFontMetricsF>
#include <QList>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double edgeWidth = 0.5;
constexpr int labelPixelSize = 12;
constexpr double labelPush = 1.35;
constexpr double labelScaleFactor = -1.8;

// Corner indices: 0..3 lie on the front face (z = 0.5), 4..7 on the back; corners 0, 3, 4 and 7
// on the floor. The five groups below are the floor edges along x, the floor edges along z, the
// uprights, and the lid edges along x and along z.
struct EdgeGroup
{
    int from[4];
    int to[4];
    int size;
};
constexpr EdgeGroup edgeGroups[5] = {
    {{3, 7}, {0, 4}, 2}, {{0, 3}, {4, 7}, 2}, {{3, 0, 7, 4}, {2, 1, 6, 5}, 4},
    {{2, 6}, {1, 5}, 2}, {{1, 2}, {5, 6}, 2},
};

QColor passColour(Qt::GlobalColor colour, bool antialiased)
{
    // Without antialiasing a line covers whole pixels and looks brighter, so it is dimmed.
    return antialiased ? QColor(colour) : QColor(colour).darker(150);
}

// How far rect has to move along path, from its start and at most its length, to lie wholly
// inside bounds; negative when no distance will do.
double distanceToFit(const QRectF &rect, const QRectF &bounds, const QLineF &path)
{
    const double length = path.length();
    const QPointF step = length > 0.0 ? (path.p2() - path.p1()) / length : QPointF();
    double low = 0.0;
    double high = length;
    // A side stays inside after moving a distance s when s * rate <= room.
    const auto keep = [&low, &high](double rate, double room) {
        constexpr double still = 1e-9;
        if (rate > still)
            high = std::min(high, room / rate);
        else if (rate < -still)
            low = std::max(low, room / rate);
        else if (room < 0.0)
            high = -1.0;
    };
    keep(-step.x(), rect.left() - bounds.left());
    keep(step.x(), bounds.right() - rect.right());
    keep(-step.y(), rect.top() - bounds.top());
    keep(step.y(), bounds.bottom() - rect.bottom());
    return low <= high ? low : -1.0;
}

} // namespace

CubeAxesPainter::CubeAxesPainter(const std::array<QVector3D, 8> &corners,
                                 const QMatrix4x4 &toProjected, const QMatrix4x4 &toPixels,
                                 const CubeAxisRanges &ranges)
    : m_corners(corners), m_toProjected(toProjected), m_toPixels(toPixels), m_ranges(ranges)
{
    m_centreDepth = projected(QVector3D()).z();
}

void CubeAxesPainter::drawBack(QPainter &painter, bool antialiased) const
{
    drawEdges(painter, passColour(Qt::gray, antialiased), false);
}

QList<QRectF> CubeAxesPainter::drawFront(QPainter &painter, bool antialiased) const
{
    const QColor colour = passColour(Qt::white, antialiased);
    drawEdges(painter, colour, true);
    // Ticks go on the outline of the picture: for x and z on the edge drawn lowest of the four
    // that run that way, for the values on an upright at the left or right of the outline.
    // Pushed out from the centre, the labels then stay clear of the surface whether the cube is
    // seen from above or below.
    const Edge xEdges[4] = {{3, 0}, {7, 4}, {2, 1}, {6, 5}};
    const Edge zEdges[4] = {{0, 4}, {3, 7}, {1, 5}, {2, 6}};
    const auto lowest = [this](const Edge &a, const Edge &b) {
        return middle(a).y() < middle(b).y();
    };
    QList<QRectF> labels;
    drawTicks(painter, *std::max_element(std::begin(xEdges), std::end(xEdges), lowest),
              m_ranges.xFrom, m_ranges.xTo, false, colour, labels);
    drawTicks(painter, *std::max_element(std::begin(zEdges), std::end(zEdges), lowest),
              m_ranges.zFrom, m_ranges.zTo, false, colour, labels);
    drawTicks(painter, valueEdge(painter.device()->width()), m_ranges.yLow, m_ranges.yHigh, true,
              colour, labels);
    return labels;
}

// The leftmost upright carries the value ticks as long as its labels stay in the picture;
// when the cube fills the picture so that they would fall off its left side, the one of the
// two outer uprights whose labels have more room.
CubeAxesPainter::Edge CubeAxesPainter::valueEdge(int imageWidth) const
{
    const Edge uprights[4] = {{3, 2}, {0, 1}, {7, 6}, {4, 5}};
    const auto leftOf = [this](const Edge &a, const Edge &b) {
        return middle(a).x() < middle(b).x();
    };
    const Edge left = *std::min_element(std::begin(uprights), std::end(uprights), leftOf);
    const Edge right = *std::max_element(std::begin(uprights), std::end(uprights), leftOf);
    const auto room = [this, imageWidth](const Edge &e) {
        const QVector3D middle = (m_corners[e.from] + m_corners[e.to]) * 0.5f;
        const double x = pixel(projected(middle * float(labelPush))).x();
        return std::min(x, imageWidth - x);
    };
    constexpr double labelRoom = 20.0;
    const double leftRoom = room(left);
    return leftRoom >= labelRoom || leftRoom >= room(right) ? left : right;
}

void CubeAxesPainter::drawEdges(QPainter &painter, const QColor &colour, bool front) const
{
    QList<QPointF> ends;
    for (const EdgeGroup &group : edgeGroups) {
        for (int k = 0; k < group.size; ++k) {
            const Edge edge{group.from[k], group.to[k]};
            if (isInFront(edge) != front)
                continue;
            ends.append(pixel(projected(m_corners[edge.from])));
            ends.append(pixel(projected(m_corners[edge.to])));
        }
    }
    QPen pen(colour, edgeWidth);
    painter.setPen(pen);
    painter.drawLines(ends.constData(), int(ends.size() / 2));
}

// Ticks for the values from .. to laid along the edge, from at the edge's first corner. The
// labels placed are added to labels, which holds those of the edges drawn before.
void CubeAxesPainter::drawTicks(QPainter &painter, const Edge &edge, double from, double to,
                                bool vertical, const QColor &colour, QList<QRectF> &labels) const
{
    if (!std::isfinite(from) || !std::isfinite(to) || from == to)
        return;
    const QVector3D start = m_corners[edge.from];
    const QVector3D end = m_corners[edge.to];
    const double length = QLineF(pixel(projected(start)), pixel(projected(end))).length();
    QList<double> positions;
    QList<double> values;
    axisTicks(length, length / 15.0 + 1.0, std::min(from, to), std::max(from, to), positions,
              values);

    const float inner = vertical ? 1.025f : 1.05f;
    const float outer = vertical ? 1.1f : 1.2f;
    QFont font = painter.font();
    font.setPixelSize(labelPixelSize);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QRectF image(0.0, 0.0, painter.device()->width(), painter.device()->height());
    painter.setPen(QPen(colour, edgeWidth));
    for (qsizetype k = 0; k < positions.size(); ++k) {
        const double fromLow = positions[k] / length;
        const float t = float(from < to ? fromLow : 1.0 - fromLow);
        const QVector3D point = start + t * (end - start);
        painter.drawLine(pixel(projected(point * inner)), pixel(projected(point * outer)));

        const double scale = labelScaleFactor * projected(point * float(labelPush)).z();
        if (!(scale > 0.0))
            continue;
        const QString text = QString::number(values[k], 'g', 6);
        const QRectF box = metrics.boundingRect(text);
        QRectF placed;
        if (!placeLabel(box, point, outer, scale, image, labels, placed))
            continue;
        labels.append(placed);
        painter.save();
        painter.translate(placed.center());
        painter.scale(scale, scale);
        painter.drawText(QRectF(-box.width() / 2, -box.height() / 2, box.width(), box.height()),
                         Qt::AlignCenter, text);
        painter.restore();
    }
}

// Where the label of the tick at point goes: centred on its anchor, or moved back along the
// tick just far enough to lie inside the image, but not past the tick's outer end, the point
// pushed out by outer. False when it cannot fit there or would cover a label already placed.
bool CubeAxesPainter::placeLabel(const QRectF &box, const QVector3D &point, float outer,
                                 double scale, const QRectF &image, const QList<QRectF> &labels,
                                 QRectF &placed) const
{
    const QPointF anchor = pixel(projected(point * float(labelPush)));
    const QPointF half(box.width() * scale / 2, box.height() * scale / 2);
    placed = QRectF(anchor - half, anchor + half);
    const QLineF back(anchor, pixel(projected(point * outer)));
    const double shift = distanceToFit(placed, image, back);
    if (shift < 0.0)
        return false;
    if (shift > 0.0)
        placed.translate((back.p2() - back.p1()) * (shift / back.length()));
    return std::none_of(labels.begin(), labels.end(),
                        [&placed](const QRectF &other) { return other.intersects(placed); });
}

// An edge whose midpoint lies nearer than the cube's centre is in front of the surface.
bool CubeAxesPainter::isInFront(const Edge &edge) const
{
    const QVector3D middle = (m_corners[edge.from] + m_corners[edge.to]) * 0.5f;
    return projected(middle).z() <= m_centreDepth;
}

// Where the middle of an edge lands in the picture.
QPointF CubeAxesPainter::middle(const Edge &edge) const
{
    return pixel(projected((m_corners[edge.from] + m_corners[edge.to]) * 0.5f));
}

QVector3D CubeAxesPainter::projected(const QVector3D &model) const
{
    return m_toProjected.map(model);
}

QPointF CubeAxesPainter::pixel(const QVector3D &projected) const
{
    return m_toPixels.map(projected).toPointF();
}
