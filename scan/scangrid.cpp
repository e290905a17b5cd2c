#include "scan/scangrid.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Far above any grid the precision allows, and far below overflow when multiplied by a count.
const qint64 saturatedProduct = qint64(1) << 40;

} // namespace

QList<int> gridPositions(qint64 index, const QList<int> &counts)
{
    QList<int> result;
    result.reserve(counts.size());
    qint64 rest = index;
    for (const int count : counts) {
        const int size = std::max(1, count);
        result.append(int(rest % size));
        rest /= size;
    }
    return result;
}

ScanGrid::ScanGrid(const QList<ScanDimension> &dimensions) : m_dimensions(dimensions) {}

int ScanGrid::targetPoints(int sliderCount, int zoom)
{
    const double doubling = 2.0 * std::pow(2.0, sliderCount);
    const double byZoom = std::pow((double(zoom) * zoom) / 20.0, std::sqrt(double(sliderCount)));
    const double target = std::max(std::floor(doubling), std::floor(byZoom));
    return target >= double(INT_MAX) ? INT_MAX : int(target);
}

void ScanGrid::size(int zoom)
{
    refine(targetPoints(int(m_dimensions.size()), zoom));
    snap();
}

void ScanGrid::refine(qint64 target)
{
    while (pointProduct() > target) {
        const int coarsest = coarsestDimension();
        if (coarsest < 0 || m_dimensions[coarsest].pointCount() <= 2)
            return;
        ++m_dimensions[coarsest].stepMultiplier;
    }
}

void ScanGrid::snap()
{
    for (ScanDimension &dimension : m_dimensions) {
        const double s = dimension.spacing();
        dimension.maximum = dimension.minimum + s * dimension.lastIndex();
    }
}

// On a tie the first axis wins; an axis without points never wins over one with points.
int ScanGrid::coarsestDimension() const
{
    int best = -1;
    for (int i = 0; i < m_dimensions.size(); ++i) {
        if (best < 0 || m_dimensions[i].pointCount() > m_dimensions[best].pointCount())
            best = i;
    }
    return best;
}

qint64 ScanGrid::pointProduct() const
{
    if (m_dimensions.isEmpty())
        return 0;
    qint64 product = 1;
    for (const ScanDimension &dimension : m_dimensions) {
        product *= dimension.pointCount();
        if (product > saturatedProduct)
            return saturatedProduct;
    }
    return product;
}

int ScanGrid::totalPoints() const
{
    const qint64 product = pointProduct();
    if (product <= 0)
        return 0;
    return product > INT_MAX ? INT_MAX : int(product);
}

QList<int> ScanGrid::positions(int index) const
{
    QList<int> counts;
    counts.reserve(m_dimensions.size());
    for (const ScanDimension &dimension : m_dimensions)
        counts.append(dimension.pointCount());
    return gridPositions(index, counts);
}

QList<double> ScanGrid::values(const QList<int> &positions) const
{
    QList<double> result;
    result.reserve(m_dimensions.size());
    for (int i = 0; i < m_dimensions.size() && i < positions.size(); ++i)
        result.append(m_dimensions[i].valueAt(positions[i]));
    return result;
}

int ScanGrid::minPointsBeforeStop() const
{
    if (m_dimensions.isEmpty())
        return 1;
    const float share = float(totalPoints()) * 0.25f / float(m_dimensions.size());
    return int(std::pow(2.0, std::floor(std::log2(share))) + 1.0);
}

ScanWalk::ScanWalk(int total) : m_total(std::max(0, total))
{
    qint64 power = 1;
    while (power < m_total)
        power *= 2;
    m_stride = 2 * power;
    m_done = m_total <= 2;
}

bool ScanWalk::next(int &index)
{
    if (m_cornersDone < 2) {
        const bool first = m_cornersDone++ == 0;
        if (first && m_total >= 1) {
            index = 0;
            return true;
        }
        if (!first && m_total >= 2) {
            index = m_total - 1;
            return true;
        }
        return next(index);
    }
    while (!m_done) {
        const qint64 candidate = m_index;
        advance();
        if (candidate != 0 && candidate != m_total - 1) {
            index = int(candidate);
            return true;
        }
    }
    return false;
}

// When a pass runs off either end, the next one fills the midpoints of this one and runs the
// other way, starting from the last midpoint on its side.
void ScanWalk::advance()
{
    m_index += m_backward ? -m_stride : m_stride;
    if (m_index < m_total && m_index >= 0)
        return;
    m_stride /= 2;
    if (m_stride <= 1) {
        m_done = true;
        return;
    }
    m_backward = !m_backward;
    const qint64 half = m_stride / 2;
    m_index = m_backward ? half + ((m_total - 1 - half) / m_stride) * m_stride : half;
}
