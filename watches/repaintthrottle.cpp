#include "watches/repaintthrottle.h"

#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// A paint too quick to measure still counts, so that a burst of changes is merged.
constexpr qint64 unmeasurablePaintMs = 12;
// Added to every interval: the cost of the rest of a repaint besides the graph.
constexpr double fixedIntervalMs = 20.0;

} // namespace

RepaintThrottle::RepaintThrottle(QObject *parent)
    : QObject(parent), m_lastPaintTime(QDateTime::currentDateTime())
{
    m_sincePaint.start();
    m_timer.setSingleShot(true);
    m_timer.setInterval(int(m_minInterval));
    connect(&m_timer, &QTimer::timeout, this, &RepaintThrottle::repaintDue);
}

qint64 RepaintThrottle::intervalFor(qint64 paintMs, double factor)
{
    const qint64 measured = paintMs > 0 ? paintMs : unmeasurablePaintMs;
    return qint64(double(measured) * factor + fixedIntervalMs);
}

bool RepaintThrottle::admit()
{
    if (m_sincePaint.elapsed() < m_minInterval) {
        if (!m_timer.isActive())
            m_timer.start();
        return false;
    }
    m_timer.stop();
    return true;
}

void RepaintThrottle::cancelPending()
{
    m_timer.stop();
}

void RepaintThrottle::restartClock()
{
    if (m_timer.isActive())
        m_timer.start();
    m_sincePaint.start();
    m_lastPaintTime = QDateTime::currentDateTime();
}

void RepaintThrottle::paintStarted()
{
    m_sincePaint.start();
    m_lastPaintTime = QDateTime::currentDateTime();
}

void RepaintThrottle::graphPainted(qint64 paintMs)
{
    m_paintDuration = paintMs > 0 ? paintMs : unmeasurablePaintMs;
    setMinInterval(intervalFor(m_paintDuration, m_factor));
}

void RepaintThrottle::setMinInterval(qint64 ms)
{
    ms = std::clamp<qint64>(ms, 0, INT_MAX);
    if (ms == m_minInterval)
        return;
    m_minInterval = ms;
    m_timer.setInterval(int(ms));
}

void RepaintThrottle::setFactor(double factor)
{
    if (std::isfinite(factor))
        m_factor = factor;
}
