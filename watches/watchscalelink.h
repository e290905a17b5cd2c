#ifndef WATCHSCALELINK_H
#define WATCHSCALELINK_H

#include <QList>
#include <QMetaObject>
#include <QPointer>

class MinMaxMultiDimData;
class VIVExcelWatchScale;
class VIVExcelWatchView;

// A watch's colour scale, kept repainting whenever the watch's value range or its cross-point
// value changes.
class WatchScaleLink
{
public:
    VIVExcelWatchScale *scale() const;
    // Pairs view with scale, undoing the old scale's pairing when it was with this view.
    void setScale(VIVExcelWatchScale *scale, VIVExcelWatchView &view, MinMaxMultiDimData &data);
    // Follows the data object the view has just made.
    void follow(VIVExcelWatchView &view, MinMaxMultiDimData &data);

private:
    QPointer<VIVExcelWatchScale> m_scale;
    QList<QMetaObject::Connection> m_connections;
};

#endif // WATCHSCALELINK_H
