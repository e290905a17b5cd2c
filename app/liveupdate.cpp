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

#include <QTimer>

#include <cmath>

LiveUpdate::LiveUpdate(QObject *parent) : QObject(parent) {}

// Watches that show scan data switch to a rolling history of single values.
void LiveUpdate::clearScanDisplay(const QList<VIVExcelWatchView *> &watches)
{
    for (VIVExcelWatchView *watch : watches) {
        MinMaxMultiDimData *data = watch->data();
        if (!data->displayAsScan()) {
            watch->setAreaFlags(0xC0F);
            data->resetValues();
        }
        if (data->graphDepth() != 2) {
            data->setDimensions({DataDimension{0, QString(), 0, 0}});
            data->setDataExtractionSettings({{-1}, data->dataExtractionSettings().fastExtraction});
        }
        watch->update(true);
    }
}

void LiveUpdate::run(VIVExcelApplication *application, VIVExcelCellSliderView *moved, qreal value,
                     const QList<VIVExcelCellSliderView *> &sliders,
                     const QList<VIVExcelWatchView *> &activeWatches)
{
    if (!moved || !moved->range())
        return;
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

    const bool singleStep = !m_undoRange;
    if (singleStep)
        openUndoStep(moved->range());
    const QList<qreal> results =
        application->setCellValuesGetCellValues({moved->range()}, {value}, readRanges);
    if (singleStep)
        closeUndoStep();
    if (results.size() != readRanges.size()) {
        qCWarning(lcApp) << "Incorrect returned values length" << results.size()
                         << readRanges.size();
        return;
    }
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
}

void LiveUpdate::beginDrag(VIVExcelRange *range)
{
    closeUndoStep();
    openUndoStep(range);
}

void LiveUpdate::endDrag()
{
    if (m_undoRange)
        QTimer::singleShot(dragEndDelayMs, this, &LiveUpdate::closeUndoStep);
}

void LiveUpdate::openUndoStep(VIVExcelRange *range)
{
    VIVExcelSheet *sheet = range ? range->sheet(false) : nullptr;
    if (!sheet || !sheet->workbook())
        return;
    sheet->workbook()->enterUndoContext("Slider " + range->address());
    m_undoRange = range;
}

void LiveUpdate::closeUndoStep()
{
    if (!m_undoRange)
        return;
    if (VIVExcelSheet *sheet = m_undoRange->sheet(false); sheet && sheet->workbook())
        sheet->workbook()->leaveUndoContext();
    m_undoRange = nullptr;
}
