#include "watches/subwatchpair.h"

#include "watches/crosssection.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchlogging.h"

SubWatchPair::SubWatchPair(VIVExcelWatchView &owner) : m_owner(owner)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &SubWatchPair::updateDue);
}

bool SubWatchPair::isOwner(const VIVExcelWatchView *watch) const
{
    // A view that showed cuts of itself would overwrite its own data with them.
    if (watch != &m_owner)
        return false;
    qCDebug(lcWatch) << "A watch cannot be its own sub watch";
    return true;
}

bool SubWatchPair::setX(VIVExcelWatchView *watch, QSize ownerMinimum)
{
    using View = VIVExcelWatchView;
    if (watch == m_x || isOwner(watch))
        return false;
    if (m_x)
        disconnect(m_x, &View::splitChanged, &m_owner, &View::setSplitPoint);
    m_x = watch;
    if (watch)
        connect(watch, &View::splitChanged, &m_owner, &View::setSplitPoint);
    fitSizes(ownerMinimum);
    return true;
}

bool SubWatchPair::setY(VIVExcelWatchView *watch, QSize ownerMinimum)
{
    using View = VIVExcelWatchView;
    if (watch == m_y || isOwner(watch))
        return false;
    if (m_y)
        disconnect(m_y, &View::splitChanged, &m_owner, &View::setInvertedSplitPoint);
    m_y = watch;
    if (watch)
        connect(watch, &View::splitChanged, &m_owner, &View::setInvertedSplitPoint);
    fitSizes(ownerMinimum);
    return true;
}

void SubWatchPair::fitSizes(QSize ownerMinimum)
{
    const QSize base = (ownerMinimum - QSize(m_margin, m_margin)).expandedTo(QSize(0, 0));
    for (VIVExcelWatchView *watch : {m_x.data(), m_y.data()}) {
        if (!watch)
            continue;
        watch->setMinimumSize(base * 0.5);
        watch->setMaximumSize(base * 1.5);
    }
}

void SubWatchPair::setSplitPoint(QPointF point)
{
    if (m_x)
        m_x->setSplitPoint(point);
    if (m_y)
        m_y->setSplitPoint(QPointF(point.y(), point.x()));
}

void SubWatchPair::fill(const MinMaxMultiDimData &surface, QPoint crossIndex)
{
    // X runs along the first free dimension at the cross point's row, Y along the second at
    // its column.
    if (m_x)
        CrossSection::fillCut(surface, 1, crossIndex.y(), *m_x->data());
    if (m_y)
        CrossSection::fillCut(surface, 0, crossIndex.x(), *m_y->data());
}

void SubWatchPair::markClean()
{
    m_timer.stop();
    m_dirty = false;
}

void SubWatchPair::scheduleIfDirty()
{
    if (m_dirty && !isEmpty() && !m_timer.isActive())
        m_timer.start();
}
