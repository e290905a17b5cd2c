#ifndef WATCHREPAINTRATES_H
#define WATCHREPAINTRATES_H

#include <QList>

class VIVExcelWatchView;

// While one watch is dragged or zoomed, every watch may draw fast and the others repaint less
// often, so the active one follows the mouse; afterwards all are back at their rates.
namespace WatchRepaintRates {

void setFastDraw(const QList<VIVExcelWatchView *> &watches, bool on);
void activeStarted(const QList<VIVExcelWatchView *> &watches, VIVExcelWatchView *active);
void activeEnded(const QList<VIVExcelWatchView *> &watches, VIVExcelWatchView *active);

} // namespace WatchRepaintRates

#endif // WATCHREPAINTRATES_H
