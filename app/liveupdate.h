#ifndef LIVEUPDATE_H
#define LIVEUPDATE_H

#include "excel/vivexcelrange.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class VIVExcelApplication;
class VIVExcelCellSliderView;
class VIVExcelRange;
class VIVExcelWatchView;
class VIVExcelWorkbook;

// What a slider move does when no slider is selected for a scan: one exchange writes the moved
// cell and reads every other slider cell and every active watch cell; the watches and the
// sliders' own displays append the values to their histories. A drag from press to release is
// one undo step of the cell's workbook, named after the cell; a move without a drag (wheel,
// keys) is a step of its own.
//
// No undo context stays open between two moves: the first write of a drag makes the named step
// and each later one joins it. A context held open from press to release would take in
// whatever else happened to the workbook meanwhile, and would stay open for good if the
// release never came (the slider deleted, the office restarted) or a later press closed it
// early; the user's Ctrl+Z in the office does nothing while one is open.
class LiveUpdate : public QObject
{
    Q_OBJECT

public:
    explicit LiveUpdate(QObject *parent = nullptr);

    // False when the office no longer answers; the drag, if any, has then ended.
    bool run(VIVExcelApplication *application, VIVExcelCellSliderView *moved, qreal value,
             const QList<VIVExcelCellSliderView *> &sliders,
             const QList<VIVExcelWatchView *> &activeWatches);
    void beginDrag(VIVExcelRange *range);
    // The drag ends once its last value, which the slider's rate limit may hold back a little,
    // has been written.
    void endDrag();
    bool isDragging() const { return m_dragRange; }

    static constexpr int dragEndDelayMs = 60;

    // Watches that show scan data switch to a rolling history of single values.
    static void clearScanDisplay(const QList<VIVExcelWatchView *> &watches);

signals:
    // A workbook read stale values after a move and recalculates fully from now on.
    void fullRecalculationSwitchedOn();

private:
    static VIVExcelWorkbook *workbookOf(VIVExcelRange *range);
    bool enterUndoStep(VIVExcelRange *range);
    void forgetDrag();
    bool foundStale(VIVExcelApplication *application, const QList<VIVExcelRange *> &readRanges);

    QPointer<VIVExcelRange> m_dragRange;
    // Whether the drag's named step exists for later writes to join.
    bool m_dragStepMade = false;
    QTimer m_dragEnd;
    QElapsedTimer m_sinceRecalculationCheck;
};

#endif
