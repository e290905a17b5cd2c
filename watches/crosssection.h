#ifndef CROSSSECTION_H
#define CROSSSECTION_H

#include <QPoint>
#include <QPointF>

class MinMaxMultiDimData;

// The two cuts through a surface at its cross point, which the sub watches of a surface watch
// show as curves, and the value at that point.
namespace CrossSection {

// A surface with exactly two free dimensions, which is what can be cut.
bool canCut(const MinMaxMultiDimData &surface);
// The grid point nearest to point (normalised over the graph), or the cell under it on a flat
// map; (-1, -1) when the data cannot be cut.
QPoint indexAt(const MinMaxMultiDimData &surface, QPointF point);
// Fills cut with the curve along the free dimension that is not freeEntry, at index along
// freeEntry; clears it for a negative index.
void fillCut(const MinMaxMultiDimData &surface, int freeEntry, int index, MinMaxMultiDimData &cut);
double valueAt(const MinMaxMultiDimData &surface, QPoint index);

} // namespace CrossSection

#endif // CROSSSECTION_H
