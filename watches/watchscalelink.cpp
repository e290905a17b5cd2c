#include "watches/watchscalelink.h"

#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchscale.h"
#include "watches/vivexcelwatchview.h"

VIVExcelWatchScale *WatchScaleLink::scale() const
{
    return m_scale;
}

void WatchScaleLink::setScale(VIVExcelWatchScale *scale, VIVExcelWatchView &view,
                              MinMaxMultiDimData &data)
{
    VIVExcelWatchScale *old = m_scale;
    m_scale = scale;
    follow(view, data);
    // The old scale may already be paired with another view; only this pairing is undone.
    if (old && old->watchView() == &view)
        old->setWatchView(nullptr);
    if (scale)
        scale->setWatchView(&view);
}

void WatchScaleLink::follow(VIVExcelWatchView &view, MinMaxMultiDimData &data)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
    VIVExcelWatchScale *scale = m_scale;
    if (!scale)
        return;
    const auto repaint = [scale] { scale->update(); };
    m_connections.append(
        QObject::connect(&data, &MinMaxMultiDimData::minMaxChanged, scale, repaint));
    m_connections.append(
        QObject::connect(&view, &VIVExcelWatchView::crossPointValueChanged, scale, repaint));
}
