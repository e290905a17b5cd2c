#ifndef GRAPHRANGES_H
#define GRAPHRANGES_H

#include <QString>
#include <QtNumeric>

class MinMaxMultiDimData;

// What a value scale or a parameter axis beside a graph shows: the values at its two ends
// and its label. NaN ends and an empty label where the data has no such dimension.
struct GraphRange
{
    double low = qQNaN();
    double high = qQNaN();
    QString label;
};

// The value scale left of a graph graphHeight pixels high. For a single value or a curve it
// spans the data's range (widened so that the curve's band matches it) and carries the watch's
// text on one line; for a surface it spans the second free dimension.
GraphRange valueScaleRange(const MinMaxMultiDimData &data, const QString &text, int graphHeight);

// The parameter axis below a graph: the first free dimension of a curve or a surface.
GraphRange parameterAxisRange(const MinMaxMultiDimData &data);

#endif // GRAPHRANGES_H
