#include "watches/graphranges.h"

#include "graph/graphdepth.h"
#include "graph/minmaxmultidimdata.h"
#include "watches/watchlayout.h"

namespace {

const DataDimension *freeDimensionRecord(const MinMaxMultiDimData &data, int n)
{
    const int position = data.freeDimension(n);
    if (position < 0 || position >= data.dimensions().size())
        return nullptr;
    return &data.dimensions().at(position);
}

GraphRange rangeOf(const DataDimension *dimension)
{
    if (!dimension)
        return {};
    return {dimension->from, dimension->to, dimension->label};
}

QString oneLine(const QString &text)
{
    return text.split(QLatin1Char('\n')).join(QStringLiteral(" / "));
}

} // namespace

GraphRange valueScaleRange(const MinMaxMultiDimData &data, const QString &text, int graphHeight)
{
    const GraphDepth depth = data.graphDepth();
    if (depth == GraphDepthValue || depth == GraphDepthCurve) {
        const double margin =
            WatchLayout::curveBandMargin(data.maximum() - data.minimum(), graphHeight);
        return {data.minimum() - margin, data.maximum() + margin, oneLine(text)};
    }
    return depth > GraphDepthCurve ? rangeOf(freeDimensionRecord(data, 1)) : GraphRange();
}

GraphRange parameterAxisRange(const MinMaxMultiDimData &data)
{
    return data.graphDepth() >= GraphDepthCurve ? rangeOf(freeDimensionRecord(data, 0))
                                                : GraphRange();
}
