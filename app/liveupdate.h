#ifndef LIVEUPDATE_H
#define LIVEUPDATE_H

#include "excel/vivexcelrange.h"

#include <QList>
#include <QObject>
#include <QPointer>

class VIVExcelApplication;
class VIVExcelCellSliderView;
class VIVExcelRange;
class VIVExcelWatchView;

// What a slider move does when no slider is selected for a scan: one exchange writes the moved
// cell and reads every other slider cell and every active watch cell; the watches and the
// sliders' own displays append the values to their histories. A drag from press to release is
// one undo step of the cell's workbook, named after the cell; a move without a drag (wheel,
// keys) is a step of its own.
class LiveUpdate : public QObject
{
    Q_OBJECT

public:
    explicit LiveUpdate(QObject *parent = nullptr);

    void run(VIVExcelApplication *application, VIVExcelCellSliderView *moved, qreal value,
             const QList<VIVExcelCellSliderView *> &sliders,
             const QList<VIVExcelWatchView *> &activeWatches);
    void beginDrag(VIVExcelRange *range);
    // The undo step closes once the drag's last value, which the slider's rate limit may hold
    // back a little, has been written.
    void endDrag();
    bool isUndoStepOpen() const { return m_undoRange; }

    static constexpr int dragEndDelayMs = 60;

private:
    static void clearScanDisplay(const QList<VIVExcelWatchView *> &watches);
    void openUndoStep(VIVExcelRange *range);
    void closeUndoStep();

    QPointer<VIVExcelRange> m_undoRange;
};

#endif
