#include "watches/clearplacement.h"

#include <algorithm>

namespace {

// Space left between the two windows, so that their edges do not touch.
constexpr int gap = 10;

} // namespace

QRect clearOf(const QRect &window, const QRect &obstacle, const QRect &available, int minimumHeight)
{
    if (!window.intersects(obstacle) || obstacle.isEmpty())
        return window;
    QRect above = window;
    above.setBottom(obstacle.top() - gap - 1);
    QRect below = window;
    below.setTop(std::max(window.top(), obstacle.bottom() + gap + 1));
    const QRect right = window.translated(obstacle.right() + gap + 1 - window.left(), 0);
    const QRect left = window.translated(obstacle.left() - gap - 1 - window.right(), 0);
    for (const QRect &candidate : {above, below}) {
        if (candidate.height() >= minimumHeight && available.contains(candidate) &&
            !candidate.intersects(obstacle))
            return candidate;
    }
    for (const QRect &candidate : {right, left}) {
        if (available.contains(candidate))
            return candidate;
    }
    return window;
}
