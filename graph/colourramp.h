#ifndef COLOURRAMP_H
#define COLOURRAMP_H

#include <QRgb>

// The 256-step ramp that colours surfaces, heat maps, cube points and scale legends: from
// blue-violet at 0 through cyan, green and yellow to red at 255, darker at the low end.

// Entry i & 255 of the ramp, opaque.
QRgb rampColour(int i);
// The ramp at a fraction x of its length; x is held to [0, 1], NaN counts as 0.
QRgb rampColourAt(double x);

#endif // COLOURRAMP_H
