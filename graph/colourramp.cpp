#include "graph/colourramp.h"

#include <QColor>

#include <algorithm>
#include <array>
#include <cmath>

QRgb rampColour(int i)
{
    // Entries are converted on first request and kept for the rest of the run.
    static std::array<QRgb, 256> table{};
    static std::array<bool, 256> computed{};
    const int entry = i & 255;
    if (!computed[entry]) {
        const int value = int(std::floor(entry / 255.0 * 155.0 + 100.0));
        table[entry] = QColor::fromHsv(255 - entry, 255, value).rgb();
        computed[entry] = true;
    }
    return table[entry];
}

QRgb rampColourAt(double x)
{
    // Outside [0, 1] the masked index would wrap to the other end of the ramp, and converting
    // NaN or a huge value to int is undefined.
    if (!(x > 0.0))
        return rampColour(0);
    return rampColour(int(std::min(x, 1.0) * 255.0));
}
