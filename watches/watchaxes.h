#ifndef WATCHAXES_H
#define WATCHAXES_H

#include <QColor>
#include <QRect>
#include <QString>

class QFontMetrics;
class QPainter;

// The look of a watch's surroundings: the dark ground of its graph and the quiet scales beside
// it. Values run linearly over the graph rectangle; NaN or empty ranges draw the ground and the
// label only.

// A tick label of a scale whose ticks are step apart: short, but with the digits that tell it
// from its neighbours. A step of 0 gives the short form.
QString watchTickText(double value, double step);
// A tick label for the narrow value scale, whose labels are right-aligned: the label above if it
// fits the width, else its short form, else the short form with a compact exponent ("1e5").
QString scaleTickText(double value, double step, int width, const QFontMetrics &metrics);

// Ground colour of graphs, scales and axes.
QColor watchGraphBackground();

// The value scale left of graph: bottom at the graph's bottom edge, top one pixel above its
// top edge (as the curve painter maps its range), label written upwards along the left side.
void drawValueScale(QPainter &painter, const QRect &scale, const QRect &graph, double top,
                    double bottom, const QString &label);

// The parameter axis below graph: low at its left edge, high at its right edge, tick labels
// under the tick marks and the label centred below them.
void drawParameterAxis(QPainter &painter, const QRect &axis, const QRect &graph, double low,
                       double high, const QString &label);

#endif // WATCHAXES_H
