#include "app/watchrepaintrates.h"

#include "watches/vivexcelwatchview.h"

namespace {

void scaleFactors(const QList<VIVExcelWatchView *> &watches, VIVExcelWatchView *except,
                  double factor)
{
    for (VIVExcelWatchView *watch : watches) {
        if (watch == except)
            continue;
        const double scaled = watch->repaintFactor() * factor;
        watch->setRepaintFactor(scaled > 0 ? scaled : 1.1);
    }
}

} // namespace

void WatchRepaintRates::setFastDraw(const QList<VIVExcelWatchView *> &watches, bool on)
{
    for (VIVExcelWatchView *watch : watches)
        watch->setCanUseFastDraw(on);
}

void WatchRepaintRates::activeStarted(const QList<VIVExcelWatchView *> &watches,
                                      VIVExcelWatchView *active)
{
    setFastDraw(watches, true);
    scaleFactors(watches, active, 1.5 * watches.size());
}

void WatchRepaintRates::activeEnded(const QList<VIVExcelWatchView *> &watches,
                                    VIVExcelWatchView *active)
{
    setFastDraw(watches, false);
    const qsizetype n = watches.size();
    scaleFactors(watches, active, n > 0 ? 1.0 / 1.5 / double(n) : 0);
}
