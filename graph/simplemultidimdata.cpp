#include "graph/simplemultidimdata.h"

#include "graph/graphlogging.h"

#include <QStringList>

#include <climits>
#include <cmath>

namespace {

// Product of non-negative counts, 0 without dimensions. Stops above INT_MAX, so that a list too
// large for int offsets is recognised without overflowing.
qint64 countProduct(const QList<DataDimension> &dimensions)
{
    if (dimensions.isEmpty())
        return 0;
    for (const DataDimension &dimension : dimensions) {
        if (dimension.count == 0)
            return 0;
    }
    qint64 product = 1;
    for (const DataDimension &dimension : dimensions) {
        product *= dimension.count;
        if (product > INT_MAX)
            break;
    }
    return product;
}

// Number of values a dimension list lays out, or -1 (after a diagnostic) when a count is
// negative or the product does not fit the int that offsets are measured in.
qint64 valueCountOf(const QList<DataDimension> &dimensions)
{
    for (const DataDimension &dimension : dimensions) {
        if (dimension.count < 0) {
            qCDebug(lcGraph) << "Invalid dimension count" << dimension.count << "for"
                             << dimension.label;
            return -1;
        }
    }
    const qint64 product = countProduct(dimensions);
    if (product > INT_MAX) {
        qCDebug(lcGraph) << "Too many values for" << dimensions.size() << "dimensions";
        return -1;
    }
    return product;
}

} // namespace

SimpleMultiDimData::SimpleMultiDimData(QObject *parent) : QObject(parent) {}

void SimpleMultiDimData::finishScan(bool completed)
{
    m_scanComplete = completed;
    m_dataChanged = true;
}

void SimpleMultiDimData::markChanged()
{
    m_dataChanged = true;
    emit changed();
}

void SimpleMultiDimData::clear()
{
    m_dimensions.clear();
    m_values.clear();
    m_scanComplete = false;
    emit dimensionsChanged();
    markChanged();
}

void SimpleMultiDimData::resetValues()
{
    m_values.fill(qQNaN());
    m_scanComplete = false;
    markChanged();
}

bool SimpleMultiDimData::setValues(const QList<double> &newValues)
{
    if (newValues.size() != expectedValueCount()) {
        qCDebug(lcGraph) << "Invalid data size. Required:" << expectedValueCount()
                         << " provided:" << newValues.size();
        return false;
    }
    m_values = newValues;
    markChanged();
    return true;
}

bool SimpleMultiDimData::setValue(const QList<int> &indices, double value)
{
    if (std::isnan(value))
        emit reportNaN();
    const int offset = offsetOf(indices);
    if (offset < 0)
        return false;
    m_values[offset] = value;
    markChanged();
    return true;
}

bool SimpleMultiDimData::setDimensions(const QList<DataDimension> &newDimensions)
{
    if (newDimensions == m_dimensions)
        return false;
    const qint64 newCount = valueCountOf(newDimensions);
    if (newCount < 0)
        return false;
    m_dimensions = newDimensions;
    if (newCount > m_values.size())
        m_values.reserve(newCount);
    m_values.resize(newCount, qQNaN());
    markChanged();
    emit dimensionsChanged();
    return true;
}

bool SimpleMultiDimData::appendValue(double value)
{
    if (m_dimensions.size() != 1)
        return false;
    m_values.append(value);
    const qsizetype excess = m_values.size() - m_historyLimit;
    if (excess > 0)
        m_values.remove(0, excess);
    m_dimensions.first().count = int(m_values.size());
    markChanged();
    return true;
}

void SimpleMultiDimData::setHistoryLimit(int n)
{
    if (n < 0 || n == m_historyLimit)
        return;
    m_historyLimit = n;
}

int SimpleMultiDimData::offsetOf(const QList<int> &indices) const
{
    if (indices.isEmpty() || indices.size() > m_dimensions.size()) {
        qCDebug(lcGraph).noquote() << "GET invalid for" << indicesText(indices)
                                   << "dimension count:" << m_dimensions.size();
        return -1;
    }
    // 64-bit arithmetic with overflow checks: index entries are not limited to their counts.
    qint64 offset = 0;
    qint64 stride = 1;
    bool overflow = false;
    for (qsizetype k = 0; k < indices.size() && !overflow; ++k) {
        qint64 term = 0;
        overflow = __builtin_mul_overflow(qint64(indices[k]), stride, &term) ||
                   __builtin_add_overflow(offset, term, &offset) ||
                   __builtin_mul_overflow(stride, qint64(m_dimensions[k].count), &stride);
    }
    if (overflow || offset < 0 || offset >= m_values.size()) {
        const QString where = overflow ? QStringLiteral("overflow") : QString::number(offset);
        qCDebug(lcGraph).noquote() << "GET invalid for" << indicesText(indices)
                                   << "offset:" << where << "data size:" << m_values.size();
        return -1;
    }
    return int(offset);
}

double SimpleMultiDimData::value(const QList<int> &indices) const
{
    const int offset = offsetOf(indices);
    return offset < 0 ? qQNaN() : m_values.at(offset);
}

QList<double> SimpleMultiDimData::extractValues(QList<int> indices) const
{
    if (indices.size() > m_dimensions.size()) {
        qCDebug(lcGraph).noquote() << "Cannot extract with indices" << indicesText(indices)
                                   << "for dimensions with count" << m_dimensions.size();
        return {};
    }
    while (indices.size() < m_dimensions.size())
        indices.append(-1);
    const QList<int> free = freeIndexPositions(indices);
    if (free.isEmpty())
        return {value(indices)};

    // The last free dimension is walked here, the earlier ones by recursion, so the lowest free
    // dimension varies fastest, as in storage.
    const int position = free.last();
    const int count = m_dimensions.at(position).count;
    QList<double> result;
    for (int k = 0; k < count; ++k) {
        indices[position] = k;
        if (free.size() == 1)
            result.append(value(indices));
        else
            result.append(extractValues(indices));
    }
    return result;
}

int SimpleMultiDimData::expectedValueCount() const
{
    // Stored dimensions were checked by setDimensions, so the product fits.
    return int(countProduct(m_dimensions));
}

QList<int> SimpleMultiDimData::freeIndexPositions(const QList<int> &indices)
{
    QList<int> positions;
    for (qsizetype k = 0; k < indices.size(); ++k) {
        if (indices[k] == -1)
            positions.append(int(k));
    }
    return positions;
}

QString SimpleMultiDimData::indicesText(const QList<int> &indices)
{
    QStringList entries;
    for (int index : indices)
        entries.append(QString::number(index));
    return QLatin1Char('(') + entries.join(QLatin1String(", ")) + QLatin1Char(')');
}
