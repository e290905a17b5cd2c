#include "scan/scandimension.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The number of whole spacings in the range. A quotient that lands a rounding error below a
// whole number (0.3 / 0.1) counts as that number, so the last slider step stays on the grid.
int wholeSpacings(double range, double spacing)
{
    const double quotient = range / spacing;
    const double whole = std::floor(quotient + 1e-9 * std::max(1.0, quotient));
    const double limit = std::numeric_limits<int>::max() - 1;
    return int(std::min(whole, limit));
}

} // namespace

int ScanDimension::pointCount() const
{
    const double s = spacing();
    if (!(s > 0))
        return -1;
    if (s >= maximum - minimum)
        return 2;
    return wholeSpacings(maximum - minimum, s) + 1;
}

int ScanDimension::lastIndex() const
{
    const double s = spacing();
    if (!(s > 0))
        return -2;
    if (s >= maximum - minimum)
        return 1;
    return wholeSpacings(maximum - minimum, s);
}

double ScanDimension::valueAt(int i) const
{
    return std::min(minimum + spacing() * i, maximum);
}
