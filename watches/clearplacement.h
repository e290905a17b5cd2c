#ifndef CLEARPLACEMENT_H
#define CLEARPLACEMENT_H

#include <QRect>

// Where a window goes so that it leaves another window (the obstacle) uncovered, inside the
// available screen area. A window that does not overlap the obstacle stays where it is. One that
// does first keeps its place and gives up height, ending above or below the obstacle, as long as
// it keeps at least minimumHeight; else it moves beside the obstacle, right of it or left of it,
// where it fits; where nothing fits it stays where it is.
QRect clearOf(const QRect &window, const QRect &obstacle, const QRect &available,
              int minimumHeight);

#endif
