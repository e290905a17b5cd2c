#include "app/liveupdate.h"
#include "app/applogging.h"

#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelworkbook.h"
#include "graph/minmaxmultidimdata.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"

#include <algorithm>
#include <cmath>

LiveUpdate::LiveUpdate(QObject *parent) : QObject(parent)
{
    m_dragEnd.setSingleShot(true);
    m_dragEnd.setInterval(dragEndDelayMs);
    connect(&m_dragEnd, &QTimer::timeout, this, &LiveUpdate::forgetDrag);
}

// Watches that show scan data switch to a rolling history of single values.
void LiveUpdate::clearScanDisplay(const QList<VIVExcelWatchView *> &watches)
{
    for (VIVExcelWatchView *watch : watches) {
        MinMaxMultiDimData *data = watch->data();
        if (!data->displayAsScan()) {
            watch->setAreaFlags(WatchAreaFlag::History);
            data->resetValues();
        }
        if (data->graphDepth() != GraphDepthCurve) {
            data->setDimensions({DataDimension{0, QString(), 0, 0}});
            data->setDataExtractionSettings({{-1}, data->dataExtractionSettings().fastExtraction});
        }
        watch->update(true);
    }
}

bool LiveUpdate::run(VIVExcelApplication *application, VIVExcelCellSliderView *moved, qreal value,
                     const QList<VIVExcelCellSliderView *> &sliders,
                     const QList<VIVExcelWatchView *> &activeWatches)
{
    if (!moved || !moved->range())
        return true;
    QList<VIVExcelRange *> readRanges;
    QList<VIVExcelCellSliderView *> others;
    for (VIVExcelCellSliderView *view : sliders) {
        if (view != moved && view->range()) {
            others.append(view);
            readRanges.append(view->range());
        }
    }
    for (VIVExcelWatchView *watch : activeWatches)
        readRanges.append(watch->range());
    clearScanDisplay(activeWatches);

    const bool stepEntered = enterUndoStep(moved->range());
    QList<qreal> results =
        application->setCellValuesGetCellValues({moved->range()}, {value}, readRanges);
    if (stepEntered)
        workbookOf(moved->range())->leaveUndoContext();
    if (results.size() != readRanges.size()) {
        qCWarning(lcApp) << "Incorrect returned values length" << results.size()
                         << readRanges.size();
        return true;
    }
    // A dead office reads every cell as not a number; only then is it asked whether it answers.
    if (std::all_of(results.begin(), results.end(), [](qreal v) { return std::isnan(v); }) &&
        application->hwnd() == 0) {
        qCWarning(lcApp) << "The office stopped answering during a slider move";
        forgetDrag();
        return false;
    }
    if (foundStale(application, readRanges))
        results = application->setCellValuesGetCellValues({}, {}, readRanges);
    moved->display()->data()->appendValue(moved->slider()->realValue());
    for (qsizetype i = 0; i < others.size(); ++i) {
        const QSignalBlocker blocker(others[i]);
        others[i]->display()->data()->appendValue(results[i]);
        if (!std::isnan(results[i]))
            others[i]->slider()->setRealValue(results[i]);
    }
    for (qsizetype j = 0; j < activeWatches.size(); ++j) {
        activeWatches[j]->clearPreviousData();
        activeWatches[j]->data()->appendValue(results[others.size() + j]);
    }
    return true;
}

// The first move, and a move every few seconds after it, compares what it read with a full
// recalculation: a workbook with manual calculation, or with formulas the office's automatic
// recalculation misses, would otherwise show values from before the move.
bool LiveUpdate::foundStale(VIVExcelApplication *application,
                            const QList<VIVExcelRange *> &readRanges)
{
    if (m_sinceRecalculationCheck.isValid() &&
        m_sinceRecalculationCheck.elapsed() < VIVExcelApplication::recalculationCheckMs)
        return false;
    m_sinceRecalculationCheck.start();
    if (!application->checkRecalculation(readRanges))
        return false;
    emit fullRecalculationSwitchedOn();
    return true;
}

void LiveUpdate::beginDrag(VIVExcelRange *range)
{
    m_dragEnd.stop();
    m_dragRange = range;
    m_dragStepMade = false;
}

void LiveUpdate::endDrag()
{
    if (m_dragRange)
        m_dragEnd.start();
}

void LiveUpdate::forgetDrag()
{
    m_dragEnd.stop();
    m_dragRange = nullptr;
    m_dragStepMade = false;
}

VIVExcelWorkbook *LiveUpdate::workbookOf(VIVExcelRange *range)
{
    VIVExcelSheet *sheet = range ? range->sheet(false) : nullptr;
    return sheet ? sheet->workbook() : nullptr;
}

// The first write of a drag, and every move without one, begins a step named after the cell;
// the drag's later writes join its step. A join the office refuses (the user undid the step
// meanwhile) begins a new one.
bool LiveUpdate::enterUndoStep(VIVExcelRange *range)
{
    VIVExcelWorkbook *book = workbookOf(range);
    if (!book)
        return false;
    const bool inDrag = m_dragRange && m_dragRange == range;
    if (inDrag && m_dragStepMade && book->joinLastUndoStep())
        return true;
    const bool entered = book->enterUndoContext("Slider " + range->address());
    m_dragStepMade = inDrag && entered;
    return entered;
}
