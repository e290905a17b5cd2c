#include "watches/watchlayout.h"

#include "watches/watchlogging.h"

#include <cmath>

namespace {

// Share of the graph height that a curve uses.
constexpr double curveShare = 0.75;

} // namespace

QRect WatchLayout::rect(WatchArea area) const
{
    QRect rect = contents;
    if (area == WatchAreaAll)
        return rect;
    rect.adjust(2, 2, -3, -3);
    const bool hasText = shows(WatchAreaFlag::Text);
    const bool hasScale = shows(WatchAreaFlag::Scale);
    const bool hasAxis = shows(WatchAreaFlag::Axis);
    switch (area) {
    case WatchAreaText:
        rect.setBottom(rect.top() + textHeight - 1);
        break;
    case WatchAreaGraph:
        if (hasText)
            rect.setTop(rect.top() + textHeight);
        if (hasScale && !cube)
            rect.setLeft(rect.left() + scaleWidth);
        if (hasAxis && !cube)
            rect.setBottom(rect.bottom() - axisHeight - 1);
        break;
    case WatchAreaScale:
        if (!hasScale)
            return QRect();
        rect.setRight(scaleWidth);
        if (hasAxis)
            rect.setBottom(rect.bottom() - axisHeight - 1);
        if (hasText)
            rect.setTop(rect.top() + textHeight);
        break;
    case WatchAreaAxis:
        if (!hasAxis)
            return QRect();
        rect.setTop(rect.bottom() - axisHeight);
        if (hasScale && !cube)
            rect.setLeft(rect.left() + scaleWidth);
        break;
    case WatchAreaBody:
        break;
    case WatchAreaButtons:
        if (shows(WatchAreaFlag::Buttons)) {
            rect.setLeft(3);
            rect.setRight(buttonSize * buttonCount + 2);
            rect.setBottom(rect.top() + buttonSize - 1);
        }
        break;
    default:
        qCDebug(lcWatch) << "Unknown WatchArea value";
        break;
    }
    return rect;
}

QRect WatchLayout::curveBand(const QRect &graph)
{
    QRect band = graph;
    const int height = graph.height();
    const int bandHeight = int(height * curveShare);
    band.setTop(graph.top() + (height - bandHeight) / 2);
    band.setHeight(bandHeight);
    return band;
}

double WatchLayout::curveBandMargin(double range, int graphHeight)
{
    // A flat curve gets a fixed margin instead.
    if (range <= 0.0)
        return 0.15;
    const double height = graphHeight;
    const double band = height > 0.0 ? std::trunc(curveShare * height) / height : 0.0;
    return band > 0.0 ? range * (1.0 - band) / band * 0.5 : 0.0;
}
