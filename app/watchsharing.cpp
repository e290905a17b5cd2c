#include "app/watchsharing.h"

#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"

void WatchSharing::join(VIVExcelWatchView *watch, const QList<VIVExcelWatchView *> &others)
{
    for (VIVExcelWatchView *other : others) {
        if (!other || other == watch)
            continue;
        follow(watch, other);
        follow(other, watch);
    }
}

// Unique connections: a watch joins again when its data is made anew.
void WatchSharing::follow(VIVExcelWatchView *leader, VIVExcelWatchView *follower)
{
    using View = VIVExcelWatchView;
    using Data = MinMaxMultiDimData;
    const auto unique = Qt::UniqueConnection;
    QObject::connect(leader, &View::splitChanged, follower, &View::setSplitPoint, unique);
    Data *from = leader->data();
    Data *to = follower->data();
    QObject::connect(from, &Data::perspectiveChanged, to, &Data::setPerspectiveSettings, unique);
    QObject::connect(from, &Data::drawSettings2DChanged, to, &Data::setDrawSettings2D, unique);
    QObject::connect(from, &Data::drawSettings3DFlatChanged, to, &Data::setDrawSettings3DFlat,
                     unique);
    QObject::connect(from, &Data::drawSettings3DCubeChanged, to, &Data::setDrawSettings3DCube,
                     unique);
}
