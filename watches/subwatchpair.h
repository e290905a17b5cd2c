#ifndef SUBWATCHPAIR_H
#define SUBWATCHPAIR_H

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QTimer>

class MinMaxMultiDimData;
class VIVExcelWatchView;

// The two sub watches of a surface watch, which show the cuts through its cross point: X along
// the first free dimension, Y along the second with the split point's coordinates swapped. Their
// moves of the split point come back to the owner; a recomputation of the cuts is asked for
// with updateDue() shortly after a repaint request, once per burst of changes.
class SubWatchPair : public QObject
{
    Q_OBJECT

public:
    explicit SubWatchPair(VIVExcelWatchView &owner);

    VIVExcelWatchView *x() const { return m_x; }
    VIVExcelWatchView *y() const { return m_y; }
    // Report whether the pair changed; the owner itself is refused.
    bool setX(VIVExcelWatchView *watch, QSize ownerMinimum);
    bool setY(VIVExcelWatchView *watch, QSize ownerMinimum);
    bool isEmpty() const { return !m_x && !m_y; }

    int margin() const { return m_margin; }
    void setMargin(int margin) { m_margin = margin; }
    // Each sub watch may be half to one and a half times the owner's minimum size less the
    // margin.
    void fitSizes(QSize ownerMinimum);

    void setSplitPoint(QPointF point);
    void fill(const MinMaxMultiDimData &surface, QPoint crossIndex);

    void markDirty() { m_dirty = true; }
    void markClean();
    // Schedules updateDue() when the cuts are out of date and there is a sub watch.
    void scheduleIfDirty();

signals:
    void updateDue();

private:
    bool isOwner(const VIVExcelWatchView *watch) const;

    VIVExcelWatchView &m_owner;
    QPointer<VIVExcelWatchView> m_x;
    QPointer<VIVExcelWatchView> m_y;
    int m_margin = 0;
    bool m_dirty = false;
    QTimer m_timer;
};

#endif // SUBWATCHPAIR_H
