#ifndef WATCHPAINTER_H
#define WATCHPAINTER_H

#include "watches/graphranges.h"
#include "watches/watchbutton.h"
#include "watches/watchlayout.h"

#include <QList>
#include <QPointF>

class QPainter;

// What the surroundings of a watch's graph show.
struct WatchSurroundings
{
    QString text;
    GraphRange scale;
    GraphRange axis;
    QList<WatchButton> buttons;
    int hoveredButton = -1;
    bool buttonsVisible = false;
    bool mouseOverIndicator = false;
};

// Draws the surroundings of a watch's graph into the rectangles of its layout: the text line,
// the button row or its indicator, the split lines, the scale, the axis and the frame. It only
// reads what it is given.
class WatchPainter
{
public:
    WatchPainter(QPainter &painter, const WatchLayout &layout);

    // Everything around the graph that lies in exposed, and the frame. The scale and the axis
    // of a cube are left to the cube's own painting.
    void paintSurroundings(const WatchSurroundings &surroundings, const QRect &exposed) const;
    // The scale and the axis that are shown, without regard to the graph's kind.
    void paintScaleAndAxis(const WatchSurroundings &surroundings) const;
    // White lines across graph through the split point, for the split flags that are set.
    void paintSplitLines(const QRect &graph, QPointF splitPoint) const;

private:
    void paintText(const QString &text) const;
    QString elided(const QString &text, int width) const;
    // Button 0 is the rightmost; all but the hovered one are dimmed.
    void paintButtons(const QList<WatchButton> &buttons, int hovered) const;
    // The sign that a press on the corner shows the hidden buttons.
    void paintIndicator() const;
    void paintScale(const GraphRange &range) const;
    void paintAxis(const GraphRange &range) const;
    void paintFrame() const;

    QPainter &m_painter;
    const WatchLayout &m_layout;
};

#endif // WATCHPAINTER_H
