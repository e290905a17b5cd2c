#ifndef AXISTICKS_H
#define AXISTICKS_H

#include <QList>

// Evenly stepped ticks at round values (steps of a half or a whole power of ten) along an axis
// lengthPx pixels long that shows low .. high, at least minSpacingPx apart. Fills positions
// (pixels from the low end) and values in parallel; both stay empty when no tick fits.
void axisTicks(double lengthPx, double minSpacingPx, double low, double high,
               QList<double> &positions, QList<double> &values);

#endif // AXISTICKS_H
