#ifndef WATCHSHARING_H
#define WATCHSHARING_H

#include <QList>

class VIVExcelWatchView;

// The watches of the program show one model from one point of view: a new watch follows the
// split point, camera and draw settings of every other, and they follow it.
class WatchSharing
{
public:
    static void join(VIVExcelWatchView *watch, const QList<VIVExcelWatchView *> &others);

private:
    static void follow(VIVExcelWatchView *leader, VIVExcelWatchView *follower);
};

#endif
