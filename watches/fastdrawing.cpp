#include "watches/fastdrawing.h"

#include "graph/minmaxmultidimdata.h"

#include <QSignalBlocker>

#include <algorithm>

namespace {

// While fast drawing, a surface that still takes longer than this to draw loses quality.
constexpr qint64 slowDrawingMs = 50;

} // namespace

void FastDrawing::allow(MinMaxMultiDimData &data)
{
    ++m_count;
    DataExtractionSettings settings = data.dataExtractionSettings();
    settings.fastExtraction = true;
    const QSignalBlocker blocker(data);
    data.setDataExtractionSettings(settings);
}

void FastDrawing::release()
{
    // An unbalanced release must not leave the count below zero, or the next permission would
    // not switch fast drawing on.
    m_count = std::max(0, m_count - 1);
}

void FastDrawing::adapt(MinMaxMultiDimData &data)
{
    DrawSettings3DCube cube = data.drawSettings3DCube();
    DataExtractionSettings extraction = data.dataExtractionSettings();
    if (m_count <= 0) {
        extraction.fastExtraction = false;
        cube.fastDraw = false;
        cube.noAntialiasing = false;
    } else if (m_stepDue && data.lastDrawingTime() > slowDrawingMs) {
        m_stepDue = false;
        if (extraction.fastExtraction)
            cube.noAntialiasing = true;
        else
            extraction.fastExtraction = true;
    }
    const QSignalBlocker blocker(data);
    data.setDataExtractionSettings(extraction);
    data.setDrawSettings3DCube(cube);
}
