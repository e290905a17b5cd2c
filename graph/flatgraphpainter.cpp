#include "graph/flatgraphpainter.h"

#include "graph/colourramp.h"
#include "graph/minmaxmultidimdata.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QRgb finalMissingColour = qRgb(160, 160, 160);
const QRgb pendingMissingColour = qRgb(32, 16, 0);

// Ramp index of a value: minimum maps to 1 and maximum to 255. Values outside the range (a range
// imposed with setMinMax) are held to 1 .. 255 so they never reach the missing-value entry or
// leave the table.
uchar rampIndex(double v, double range, double offset)
{
    const double index = std::trunc(v / range * 254.0 + 1.0) - offset;
    return uchar(std::clamp(index, 1.0, 255.0));
}

} // namespace

void FlatGraphPainter::paint(const MinMaxMultiDimData &data, QPainter &painter, const QRect &rect)
{
    const QList<int> free = data.freeIndexPositions(data.paintIndices());
    if (free.size() != 2)
        return;
    const int w = data.dimensions().at(free[0]).count;
    const int h = data.dimensions().at(free[1]).count;
    m_image = QImage(w, h, QImage::Format_Indexed8);
    if (m_colourTable.isEmpty()) {
        m_colourTable.reserve(256);
        m_colourTable.append(qRgb(128, 128, 128));
        for (int i = 1; i < 256; ++i)
            m_colourTable.append(rampColour(i));
    }
    m_colourTable[0] = data.scanComplete() ? finalMissingColour : pendingMissingColour;
    if (m_image.isNull())
        return;
    m_image.setColorTable(m_colourTable);
    m_image.fill(0);

    const QList<double> values = data.extractValues(data.paintIndices());
    if (values.size() != qsizetype(w) * h)
        return;
    fillImage(values, data.minimum(), data.maximum());

    const QRect target(rect.left(), rect.top(), rect.right() - rect.left() + 1,
                       rect.bottom() - rect.top() + 1);
    if (target.isEmpty())
        return;
    if (data.drawSettings3DFlat().smooth) {
        painter.drawImage(target.topLeft(), m_image.scaled(target.size(), Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation));
    } else {
        painter.drawImage(target, m_image);
    }
}

void FlatGraphPainter::fillImage(const QList<double> &values, double minimum, double maximum)
{
    const int w = m_image.width();
    const int h = m_image.height();
    double lo = minimum;
    double range = maximum - minimum;
    // A constant surface gets a unit range centred on its value instead of a division by zero.
    if (range <= 0.0) {
        range = 1.0;
        lo -= 0.5;
    }
    // Without a usable range (NaN everywhere so far) every point shows as missing.
    const bool usable = std::isfinite(lo) && std::isfinite(range);
    const double offset = usable ? std::trunc(lo * 254.0 / range) : 0.0;
    for (int r = 0; r < h; ++r) {
        uchar *line = m_image.scanLine(h - 1 - r);
        const double *row = values.constData() + qsizetype(r) * w;
        for (int c = 0; c < w; ++c) {
            const double v = row[c];
            line[c] = (std::isnan(v) || !usable) ? 0 : rampIndex(v, range, offset);
        }
    }
}
