#ifndef SCANDIMENSION_H
#define SCANDIMENSION_H

#include <QString>

class VIVExcelRange;

// One axis of a scan: a slider's cell and range, walked in steps of stepMultiplier slider steps.
struct ScanDimension
{
    VIVExcelRange *range = nullptr;
    double minimum = 0.0;
    // Lowered to the last grid point when the grid is snapped.
    double maximum = 0.0;
    double step = 0.0;
    int stepMultiplier = 1;
    QString label;

    double spacing() const { return stepMultiplier * step; }
    // The number of grid points: 2 when one spacing covers the range, -1 for a spacing that
    // is not positive (the grid then degenerates).
    int pointCount() const;
    // The index of the last grid point in the cross-section sense: -2 for a spacing that is
    // not positive.
    int lastIndex() const;
    // The value at grid index i, never above maximum.
    double valueAt(int i) const;
};

#endif
