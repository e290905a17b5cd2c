#ifndef WATCHLAYOUT_H
#define WATCHLAYOUT_H

#include "watches/watcharea.h"

#include <QRect>

// Where the parts of a watch view go: maps the shown areas and the sizes of text, scale, axis
// and button row onto rectangles inside the view's contents.
struct WatchLayout
{
    QRect contents;
    WatchAreaFlags flags = WatchAreaFlag::Default;
    int textHeight = 34;
    int scaleWidth = 40;
    int axisHeight = 25;
    int buttonSize = 24;
    int buttonCount = 0;
    // A cube takes the whole body: the scale and the axis give way.
    bool cube = false;

    // The rectangle of one area; an empty one for a scale or an axis that is not shown.
    QRect rect(WatchArea area) const;
    // The graph narrowed vertically to its central 75 %, where curves are drawn.
    static QRect curveBand(const QRect &graph);
    // The part of a curve's value range that the curve band leaves free above and below.
    static double curveBandMargin(double range, int graphHeight);

    bool shows(WatchAreaFlags flag) const { return flags.testAnyFlags(flag); }
};

#endif // WATCHLAYOUT_H
