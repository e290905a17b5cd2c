#include "watches/crosssection.h"

#include "graph/graphdepth.h"
#include "graph/minmaxmultidimdata.h"

#include <algorithm>
#include <cmath>

namespace CrossSection {

bool canCut(const MinMaxMultiDimData &surface)
{
    return surface.graphDepth() >= GraphDepthSurface &&
           MinMaxMultiDimData::freeIndexPositions(surface.dataExtractionSettings().indices)
                   .size() == 2 &&
           surface.dimensions().size() >= 2;
}

QPoint indexAt(const MinMaxMultiDimData &surface, QPointF point)
{
    if (!canCut(surface))
        return QPoint(-1, -1);
    const double c1 = surface.dimensions().at(surface.freeDimension(0)).count;
    const double c2 = surface.dimensions().at(surface.freeDimension(1)).count;
    // Points outside the graph (set from outside, not by the mouse) pick the nearest edge.
    const double x = std::clamp(point.x(), 0.0, 1.0);
    const double y = std::clamp(point.y(), 0.0, 1.0);
    // The factor just below 1 keeps the point 1.0 inside the last cell.
    constexpr double inside = 0.9999999;
    if (surface.flat3D())
        return QPoint(int(std::floor(c1 * inside * x)), int(std::floor(c2 * inside * y)));
    return QPoint(int(std::floor((c1 - 1.0) * inside * x + 0.5)),
                  int(std::floor((c2 - 1.0) * inside * y + 0.5)));
}

void fillCut(const MinMaxMultiDimData &surface, int freeEntry, int index, MinMaxMultiDimData &cut)
{
    if (index < 0) {
        cut.clear();
        return;
    }
    DataExtractionSettings settings = surface.dataExtractionSettings();
    settings.indices[surface.freeDimension(freeEntry)] = index;
    cut.setDimensions(surface.dimensions());
    cut.setValues(surface.values());
    cut.finishScan(surface.scanComplete());
    cut.setDataExtractionSettings(settings);
    cut.setMinMax(surface.minimum(), surface.maximum());
}

double valueAt(const MinMaxMultiDimData &surface, QPoint index)
{
    QList<int> indices = surface.dataExtractionSettings().indices;
    indices[surface.freeDimension(0)] = index.x();
    indices[surface.freeDimension(1)] = index.y();
    return surface.value(indices);
}

} // namespace CrossSection
