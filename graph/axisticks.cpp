#include "graph/axisticks.h"

#include <cmath>

namespace {

// Guards the loop against absurd inputs such as a huge axis with a tiny spacing.
constexpr double maxTickCount = 100000.0;

bool isUsable(double lengthPx, double minSpacingPx, double low, double high)
{
    if (!std::isfinite(lengthPx) || !std::isfinite(minSpacingPx) || !std::isfinite(low) ||
        !std::isfinite(high))
        return false;
    // A zero spacing or an empty range would make the step zero.
    return lengthPx >= 1.0 && minSpacingPx > 0.0 && lengthPx >= minSpacingPx && high > low &&
           std::isfinite(high - low);
}

} // namespace

void axisTicks(double lengthPx, double minSpacingPx, double low, double high,
               QList<double> &positions, QList<double> &values)
{
    positions.clear();
    values.clear();
    if (!isUsable(lengthPx, minSpacingPx, low, high))
        return;

    // Widening by a millionth keeps ticks that sit exactly on the ends despite rounding.
    const double widening = (high - low) / 1000000.0;
    high += widening;
    low -= widening;
    const double range = high - low;

    const double span = range * (minSpacingPx / lengthPx);
    const double power = std::pow(10.0, std::floor(std::log(span) / 2.302585092994046 + 1.0));
    const double half = power * 0.5;
    const double step = half * std::ceil(span / half);

    const double first = std::ceil(low / step) * step;
    const double count = std::trunc((high - first) / step);
    if (!(count >= 0.0) || count > maxTickCount)
        return;

    const int n = int(count);
    const double startPx = lengthPx * (first - low) / range;
    const double stepPx = lengthPx * step / range;
    positions.reserve(n + 1);
    values.reserve(n + 1);
    for (int k = 0; k <= n; ++k) {
        positions.append(startPx + k * stepPx);
        values.append(first + k * step);
    }
}
