#include "graph/minmaxmultidimdata.h"

#include "graph/cubegraphpainter.h"
#include "graph/flatgraphpainter.h"
#include "graph/graph2dpainter.h"
#include "graph/graphlogging.h"

#include <algorithm>
#include <cmath>

namespace {

bool sameValue(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool isFinite(const QVector3D &v)
{
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

bool isFinite(const CubeLight &light)
{
    return std::isfinite(light.x()) && std::isfinite(light.y()) && std::isfinite(light.z()) &&
           std::isfinite(light.w());
}

// Reduces an angle in degrees to (-180, 180].
double reducedAngle(double degrees)
{
    degrees -= std::floor(degrees / 360.0) * 360.0;
    return degrees > 180.0 ? degrees - 360.0 : degrees;
}

// Non-finite fields cannot be repaired; NaN in particular would never compare equal and would
// keep watches that share their camera sending it back and forth.
bool isAcceptable(const PerspectiveSettings &s)
{
    if (isFinite(s.eye) && isFinite(s.pan) && std::isfinite(s.yaw) && std::isfinite(s.pitch) &&
        std::isfinite(s.roll) && std::isfinite(s.heightScale) && std::isfinite(s.zoom))
        return true;
    qCDebug(lcGraph) << "Invalid perspective: every value must be finite";
    return false;
}

PerspectiveSettings normalized(PerspectiveSettings s)
{
    s.yaw = reducedAngle(s.yaw);
    s.pitch = reducedAngle(s.pitch);
    s.roll = reducedAngle(s.roll);
    s.heightScale = std::max(s.heightScale, 0.00002);
    const double eyeDistance = s.eye.length();
    if (s.zoom > eyeDistance)
        s.zoom = eyeDistance;
    else if (s.zoom < 0.5)
        s.zoom = 0.5;
    // Snap to exactly 1 so that the unzoomed view is reachable by dragging.
    if (std::abs(s.zoom - 1.0) < 0.01)
        s.zoom = 1.0;
    return s;
}

bool isAcceptable(const DrawSettings3DCube &s)
{
    const bool finite = std::isfinite(s.opacity) && std::isfinite(s.renderScale) &&
                        std::isfinite(s.auxValue) && std::isfinite(s.secondaryOpacity) &&
                        std::all_of(s.lights.cbegin(), s.lights.cend(),
                                    [](const CubeLight &light) { return isFinite(light); });
    if (!finite) {
        qCDebug(lcGraph) << "Invalid cube draw settings: every value must be finite";
        return false;
    }
    if (s.renderScale <= 0.0) {
        qCDebug(lcGraph) << "Invalid cube draw settings: render scale" << s.renderScale;
        return false;
    }
    return true;
}

} // namespace

MinMaxMultiDimData::MinMaxMultiDimData(QObject *parent)
    : SimpleMultiDimData(parent), m_flatPainter(std::make_unique<FlatGraphPainter>()),
      m_cubePainter(std::make_unique<CubeGraphPainter>())
{
    // By name lookups (queued connections made with the string form) need the types registered.
    qRegisterMetaType<DataExtractionSettings>();
    qRegisterMetaType<PerspectiveSettings>();
    qRegisterMetaType<DrawSettings2D>();
    qRegisterMetaType<DrawSettings3DFlat>();
    qRegisterMetaType<DrawSettings3DCube>();
}

MinMaxMultiDimData::~MinMaxMultiDimData() = default;

void MinMaxMultiDimData::paint(QPainter &painter, const QRect &rect)
{
    const QList<int> &indices = m_extraction.indices;
    const QList<int> free = freeIndexPositions(indices);
    if (free.isEmpty()) {
        qCDebug(lcGraph) << "Cannot paint with empty indices";
        return;
    }
    if (dimensions().isEmpty()) {
        qCDebug(lcGraph) << "Cannot paint with no dimensions set";
        return;
    }
    if (indices.size() > dimensions().size()) {
        qCDebug(lcGraph).noquote() << "Invalid indices" << indicesText(indices)
                                   << "for dimensions with count" << dimensions().size();
        return;
    }
    if (free.size() > 2) {
        qCDebug(lcGraph).noquote()
            << "Cannot paint more graphs with more than 3 dimensions. Indices:"
            << indicesText(indices);
        return;
    }
    if (free.size() == 1)
        paint2D(painter, rect);
    else if (m_flat3D)
        paint3DFlat(painter, rect);
    else
        paint3DCube(painter, rect);
    markPainted();
}

QList<int> MinMaxMultiDimData::paintIndices() const
{
    QList<int> indices = m_extraction.indices;
    while (indices.size() < dimensions().size())
        indices.append(0);
    return indices;
}

const QImage &MinMaxMultiDimData::flatImage() const
{
    return m_flatPainter->image();
}

const QImage &MinMaxMultiDimData::cubeImage() const
{
    return m_cubePainter->image();
}

qint64 MinMaxMultiDimData::lastDrawingTime() const
{
    return m_cubePainter->lastDrawingTime();
}

void MinMaxMultiDimData::paint2D(QPainter &painter, const QRect &rect)
{
    Graph2DPainter(*this).paint(painter, rect);
}

void MinMaxMultiDimData::paint3DFlat(QPainter &painter, const QRect &rect)
{
    m_flatPainter->paint(*this, painter, rect);
}

void MinMaxMultiDimData::paint3DCube(QPainter &painter, const QRect &rect)
{
    const CubeGraphPainter::Overlay before = [this](QPainter &onImage) {
        emit beforePaint3D(onImage);
    };
    const CubeGraphPainter::Overlay after = [this](QPainter &onImage) {
        emit afterPaint3D(onImage);
    };
    if (!m_cubePainter->paint(*this, painter, rect, {before, after}))
        return;
    // The picture now shows the extraction, the camera and the cube settings as they are.
    m_extractionDirty = false;
    m_perspectiveDirty = false;
    m_cubeDirty = false;
}

void MinMaxMultiDimData::clear()
{
    m_minimum = qQNaN();
    m_maximum = qQNaN();
    SimpleMultiDimData::clear();
    setDisplayAsScan(false);
    normalizeExtraction();
    markChanged();
    emit minMaxChanged();
}

void MinMaxMultiDimData::resetValues()
{
    m_minimum = qQNaN();
    m_maximum = qQNaN();
    SimpleMultiDimData::resetValues();
    setDisplayAsScan(false);
    markChanged();
    emit minMaxChanged();
}

bool MinMaxMultiDimData::setValues(const QList<double> &newValues)
{
    if (!SimpleMultiDimData::setValues(newValues))
        return false;
    setDisplayAsScan(false);
    recomputeMinMax();
    return true;
}

bool MinMaxMultiDimData::setValue(const QList<int> &indices, double value)
{
    if (!SimpleMultiDimData::setValue(indices, value))
        return false;
    setDisplayAsScan(false);
    updateMinMax(value);
    return true;
}

bool MinMaxMultiDimData::setDimensions(const QList<DataDimension> &newDimensions)
{
    if (!SimpleMultiDimData::setDimensions(newDimensions))
        return false;
    normalizeExtraction();
    recomputeMinMax();
    return true;
}

bool MinMaxMultiDimData::appendValue(double value)
{
    if (!SimpleMultiDimData::appendValue(value))
        return false;
    setDisplayAsScan(true);
    updateMinMax(value);
    return true;
}

void MinMaxMultiDimData::setDisplayAsScan(bool on)
{
    if (on == m_displayAsScan)
        return;
    m_displayAsScan = on;
    if (m_graphDepth == GraphDepthCurve)
        emit updateNeeded();
    emit displayAsScanChanged(on);
}

void MinMaxMultiDimData::setFlat3D(bool on)
{
    if (on == m_flat3D)
        return;
    m_flat3D = on;
    if (m_graphDepth >= GraphDepthSurface)
        emit updateNeeded();
}

void MinMaxMultiDimData::setMinMax(double lo, double hi)
{
    if (lo > hi) {
        qCDebug(lcGraph) << "Invalid range: minimum" << lo << "is above maximum" << hi;
        return;
    }
    if (sameValue(lo, m_minimum) && sameValue(hi, m_maximum))
        return;
    m_minimum = lo;
    m_maximum = hi;
    markChanged();
    emit minMaxChanged();
}

void MinMaxMultiDimData::copySettingsFrom(const MinMaxMultiDimData &other)
{
    // The dimensions come first: an index list is only kept by a store whose dimensions it fits.
    setDimensions(other.dimensions());
    setDataExtractionSettings(other.dataExtractionSettings());
    setPerspectiveSettings(other.perspectiveSettings());
    setDrawSettings2D(other.drawSettings2D());
    setDrawSettings3DFlat(other.drawSettings3DFlat());
    setDrawSettings3DCube(other.drawSettings3DCube());
    setFlat3D(other.flat3D());
    setHistoryLimit(other.historyLimit());
    setMinMax(other.minimum(), other.maximum());
}

int MinMaxMultiDimData::freeDimension(int n) const
{
    const QList<int> free = freeIndexPositions(m_extraction.indices);
    return n >= 0 && n < free.size() ? free.at(n) : -1;
}

void MinMaxMultiDimData::setDataExtractionSettings(const DataExtractionSettings &settings)
{
    // An index list that does not fit the dimensions is repaired to an empty one before the
    // comparison, so repeating an invalid list is no change.
    DataExtractionSettings accepted = settings;
    if (!isExtractionValid(accepted.indices))
        accepted.indices.clear();
    if (accepted == m_extraction)
        return;
    m_extractionDirty = true;
    m_extraction = accepted;
    setGraphDepth(extractionDepth());
    emit dataExtractionSettingsChanged(m_extraction);
    if (m_graphDepth >= GraphDepthSurface && !m_flat3D)
        emit updateNeeded();
}

void MinMaxMultiDimData::setPerspectiveSettings(const PerspectiveSettings &settings)
{
    if (!isAcceptable(settings))
        return;
    const PerspectiveSettings accepted = normalized(settings);
    if (accepted == m_perspective)
        return;
    m_perspectiveDirty = true;
    m_perspective = accepted;
    emit perspectiveChanged(m_perspective);
    if (m_graphDepth >= GraphDepthSurface && !m_flat3D)
        emit updateNeeded();
}

void MinMaxMultiDimData::setDrawSettings2D(const DrawSettings2D &settings)
{
    if (std::isnan(settings.opacity)) {
        qCDebug(lcGraph) << "Invalid 2D draw settings: opacity is NaN";
        return;
    }
    DrawSettings2D accepted = settings;
    accepted.opacity = std::clamp(accepted.opacity, 0.0, 1.0);
    // The tag alone is no change: only what the curve shows is compared.
    if (accepted.opacity == m_settings2D.opacity && accepted.smooth == m_settings2D.smooth)
        return;
    m_settings2D = accepted;
    m_settings2DDirty = true;
    emit drawSettings2DChanged(m_settings2D);
    if (m_graphDepth == GraphDepthCurve)
        emit updateNeeded();
}

void MinMaxMultiDimData::setDrawSettings3DFlat(const DrawSettings3DFlat &settings)
{
    if (settings == m_flatSettings)
        return;
    m_flatSettings = settings;
    m_flatDirty = true;
    emit drawSettings3DFlatChanged(m_flatSettings);
    if (m_graphDepth >= GraphDepthSurface && m_flat3D)
        emit updateNeeded();
}

void MinMaxMultiDimData::setDrawSettings3DCube(const DrawSettings3DCube &settings)
{
    if (!isAcceptable(settings))
        return;
    DrawSettings3DCube accepted = settings;
    accepted.opacity = std::clamp(accepted.opacity, 0.0, 1.0);
    accepted.secondaryOpacity = std::clamp(accepted.secondaryOpacity, 0.0, 1.0);
    if (accepted == m_cubeSettings)
        return;
    m_cubeSettings = accepted;
    m_cubeDirty = true;
    emit drawSettings3DCubeChanged(m_cubeSettings);
    if (m_graphDepth >= GraphDepthSurface && !m_flat3D)
        emit updateNeeded();
}

// Widens the range to include v without signalling; NaN is ignored.
bool MinMaxMultiDimData::widenRange(double v)
{
    bool widened = false;
    if (v < m_minimum || (std::isnan(m_minimum) && !std::isnan(v))) {
        m_minimum = v;
        widened = true;
    }
    if (v > m_maximum || (std::isnan(m_maximum) && !std::isnan(v))) {
        m_maximum = v;
        widened = true;
    }
    return widened;
}

void MinMaxMultiDimData::updateMinMax(double v)
{
    if (!widenRange(v))
        return;
    markChanged();
    emit minMaxChanged();
}

// Widens (never narrows) the range over all values and signals once for the whole list.
void MinMaxMultiDimData::recomputeMinMax()
{
    bool widened = false;
    const QList<double> &all = values();
    for (auto it = all.crbegin(); it != all.crend(); ++it)
        widened = widenRange(*it) || widened;
    if (!widened)
        return;
    markChanged();
    emit minMaxChanged();
}

void MinMaxMultiDimData::normalizeExtraction()
{
    if (!isExtractionValid(m_extraction.indices))
        setDataExtractionSettings({{}, m_extraction.fastExtraction});
    setGraphDepth(extractionDepth());
}

// A list fits when it has at most one entry per dimension and each entry is -1 (free) or an
// index below its dimension's count.
bool MinMaxMultiDimData::isExtractionValid(const QList<int> &indices) const
{
    const QList<DataDimension> &dims = dimensions();
    if (indices.size() > dims.size())
        return false;
    for (qsizetype k = 0; k < indices.size(); ++k) {
        if (indices[k] < -1 || indices[k] >= dims[k].count)
            return false;
    }
    return true;
}

GraphDepth MinMaxMultiDimData::extractionDepth() const
{
    const QList<int> &indices = m_extraction.indices;
    if (indices.isEmpty() || indices.size() > dimensions().size())
        return GraphDepthNone;
    switch (freeIndexPositions(indices).size()) {
    case 0:
        return GraphDepthValue;
    case 1:
        return GraphDepthCurve;
    case 2:
        return GraphDepthSurface;
    default:
        return GraphDepthBeyondSurface;
    }
}

void MinMaxMultiDimData::finishScan(bool completed)
{
    SimpleMultiDimData::finishScan(completed);
    m_extractionDirty = true;
}

void MinMaxMultiDimData::setGraphDepth(GraphDepth depth)
{
    if (depth == m_graphDepth)
        return;
    m_graphDepth = depth;
    emit graphDepthChanged();
}
