#include "watches/fadedcurvehistory.h"

#include "graph/minmaxmultidimdata.h"

#include <QDateTime>

namespace {

const char stackingDateProperty[] = "stackingdate";
// Curves of earlier scans fade out over this time and are dropped below the opacity floor.
constexpr double fadeMs = 500.0;
constexpr double opacityFloor = 0.1;
constexpr int expiryCheckMs = 100;

} // namespace

FadedCurveHistory::FadedCurveHistory(QObject *parent) : QObject(parent)
{
    m_expiryTimer.setInterval(expiryCheckMs);
    connect(&m_expiryTimer, &QTimer::timeout, this, &FadedCurveHistory::expiryDue);
}

void FadedCurveHistory::stack(MinMaxMultiDimData *data)
{
    data->blockSignals(true);
    data->setProperty(stackingDateProperty, QDateTime::currentDateTime());
    m_snapshots.append(data);
    m_expiryTimer.start();
}

void FadedCurveHistory::clear()
{
    qDeleteAll(m_snapshots);
    m_snapshots.clear();
    m_expiryTimer.stop();
}

void FadedCurveHistory::dropExpired(bool graphIsCurve)
{
    for (qsizetype i = m_snapshots.size() - 1; i >= 0; --i) {
        const MinMaxMultiDimData *snapshot = m_snapshots.at(i);
        if (!graphIsCurve || !isVisible(fadeOf(snapshot)))
            delete m_snapshots.takeAt(i);
    }
    if (m_snapshots.isEmpty())
        m_expiryTimer.stop();
}

void FadedCurveHistory::shareRange(double minimum, double maximum)
{
    for (MinMaxMultiDimData *snapshot : std::as_const(m_snapshots))
        snapshot->setMinMax(minimum, maximum);
}

void FadedCurveHistory::paint(QPainter &painter, const QRect &graph)
{
    for (MinMaxMultiDimData *snapshot : std::as_const(m_snapshots)) {
        const double fade = fadeOf(snapshot);
        if (!isVisible(fade))
            continue;
        DrawSettings2D settings = snapshot->drawSettings2D();
        settings.opacity = fade;
        snapshot->setDrawSettings2D(settings);
        snapshot->paint(painter, graph);
    }
}

double FadedCurveHistory::fadeOf(const MinMaxMultiDimData *snapshot)
{
    const QDateTime stacked = snapshot->property(stackingDateProperty).toDateTime();
    return 1.0 - double(stacked.msecsTo(QDateTime::currentDateTime())) / fadeMs;
}

bool FadedCurveHistory::isVisible(double fade)
{
    return fade > opacityFloor;
}
