#include "app/scanrunner.h"
#include "app/applogging.h"
#include "app/scanstate.h"
#include "app/scanworkers.h"
#include "app/sliderwatchregistry.h"

#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "graph/minmaxmultidimdata.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchwindow.h"
#include "widgets/progresspushbutton.h"

#include <QElapsedTimer>
#include <QSlider>

#include <cmath>

namespace {

const int rescanDelayMs = 10;
const int progressIntervalMs = 2000;

double cellNumber(VIVExcelRange *range)
{
    bool isNumber = false;
    const double value = range->value().toDouble(&isNumber);
    return isNumber ? value : qQNaN();
}

// Where the slider stands on an axis of lastIndex + 1 points.
int sliderIndex(const VIVSlider *slider, int lastIndex)
{
    const double span = slider->realMaximum() - slider->realMinimum();
    if (!(span > 0))
        return 0;
    return int((slider->realValue() - slider->realMinimum()) / span * lastIndex);
}

} // namespace

ScanRunner::ScanRunner(QObject *owner, SliderWatchRegistry *registry,
                       ProgressPushButton *graphButton, QSlider *precision)
    : QObject(owner), m_owner(owner), m_state(ScanState::of(owner)), m_registry(registry),
      m_graphButton(graphButton), m_precision(precision), m_engine(owner),
      m_workers(new ScanWorkers(this)), m_graphToolTip(graphButton->toolTip())
{
    m_rescanTimer.setInterval(rescanDelayMs);
    m_rescanTimer.setSingleShot(true);
    connect(&m_rescanTimer, &QTimer::timeout, this, &ScanRunner::rescanRequested);
    m_progressTimer.setInterval(progressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &ScanRunner::progressTick);
    connect(&m_engine, &ScanEngine::progressChanged, this,
            [this](double fraction) { m_graphButton->setProgress(fraction); });
}

void ScanRunner::startOrStop(VIVExcelApplication *application, WatchWindow *watchWindow)
{
    m_rescanTimer.stop();
    if (!m_registry->watches().isEmpty() && watchWindow && watchWindow->isHidden()) {
        watchWindow->show();
        return;
    }
    if (!application || !watchWindow)
        return;
    if (m_state->isScanning()) {
        m_state->requestStop();
        return;
    }
    m_watchWindow = watchWindow;
    watchWindow->setUpdatesEnabled(false);
    m_state->setScanning(true);
    application->setScreenUpdating(false);
    do {
        runPass(application);
    } while (m_state->phase() == ScanState::Phase::Restarting && !m_state->isClosing());
    m_state->setScanning(false);
    if (m_watchWindow)
        m_watchWindow->setUpdatesEnabled(true);
    emit scanStateChanged();
    application->setScreenUpdating(true);
}

void ScanRunner::runPass(VIVExcelApplication *application)
{
    m_rescanTimer.stop();
    qCDebug(lcScan) << "STARTING SCAN";
    m_state->startPass();
    emit scanStateChanged();
    if (m_registry->selectedSliders().isEmpty())
        return;

    const QList<VIVExcelWatchView *> watches = m_registry->activeWatches();
    for (VIVExcelWatchView *watch : watches)
        watch->setCanUseFastDraw(true);
    prepareStores(watches);
    const QList<VIVExcelCellSliderView *> scanned = prepareSliders(application);
    for (VIVExcelCellSliderView *view : m_registry->sliders())
        view->display()->data()->resetValues();

    m_grid = buildGrid();
    m_engine.setApplication(application);
    m_engine.setGrid(m_grid);
    m_engine.setWatches(watches);
    m_engine.prepareWatches(initialPositions());
    updateCrossSections();
    const bool onWorkers = m_workers->prepare(application, m_engine.writeRanges(),
                                              m_engine.readRanges(), m_grid.totalPoints());
    m_engine.setWorkers(onWorkers ? m_workers : nullptr);
    m_graphButton->setToolTip(m_graphToolTip + "\n" + m_workers->lastWay());

    if (m_watchWindow)
        m_watchWindow->setUpdatesEnabled(true);
    m_progressPhase = 0;
    m_progressTimer.start(progressIntervalMs);
    const ScanEngine::Outcome outcome = m_engine.run();
    m_progressTimer.stop();
    m_graphButton->setProgress(0);
    const int points = m_engine.pointsScanned();
    if (points > 0) {
        const qint64 ms = m_engine.elapsedMs();
        qCDebug(lcScan) << points << "points scanned in" << ms / 1000.0 << "s ("
                        << double(ms) / points << "ms / point )";
    }
    const bool completed = outcome == ScanEngine::Outcome::Completed;
    if (m_state->isClosing()) {
        for (VIVExcelWatchView *watch : m_registry->watches())
            watch->setUpdatesEnabled(false);
    } else {
        m_engine.finishWatches(completed);
    }
    // The cells get their old content back also when the program is closing. A scan on the
    // workers wrote none of them.
    if (onWorkers)
        m_workers->finish();
    else
        restoreCells(application, scanned);
    if (outcome == ScanEngine::Outcome::WriteRefused || outcome == ScanEngine::Outcome::OfficeGone)
        reportFailure(outcome);
    // The pass starts again in the user's office.
    if (outcome == ScanEngine::Outcome::WorkersFailed && !m_state->isClosing())
        m_state->requestRestart();
}

void ScanRunner::prepareStores(const QList<VIVExcelWatchView *> &watches)
{
    const bool several = m_registry->selectedSliders().size() > 1;
    for (VIVExcelWatchView *watch : watches) {
        watch->setMinRepaintInterval(1000);
        watch->restartRepaintClock();
        MinMaxMultiDimData *data = watch->data();
        if (data->displayAsScan() || several) {
            data->clear();
        } else if (!data->drawSettings2D().smooth && data->graphDepth() == GraphDepthCurve) {
            const double minimum = data->minimum();
            const double maximum = data->maximum();
            data->resetValues();
            data->setMinMax(minimum, maximum);
        } else if (!data->dimensions().isEmpty()) {
            watch->createData();
        }
    }
}

// The cells agree with every slider that is not scanned before the scan starts; the scanned
// ones remember what their cells held.
QList<VIVExcelCellSliderView *> ScanRunner::prepareSliders(VIVExcelApplication *application)
{
    QList<VIVExcelRange *> writeRanges;
    QList<qreal> values;
    QList<VIVExcelCellSliderView *> scanned;
    VIVExcelCellSliderView *lastMoved = m_registry->takeLastMovedSlider();
    for (VIVExcelCellSliderView *view : m_registry->sliders()) {
        if (!view->range())
            continue;
        if (view->selected()) {
            view->rememberCellBeforeScan(view->range()->value(), view->range()->hasFormula());
            scanned.append(view);
        } else if (view == lastMoved) {
            writeRanges.append(view->range());
            values.append(view->slider()->realValue());
        } else {
            const QSignalBlocker blocker(view);
            const double value = cellNumber(view->range());
            if (!std::isnan(value))
                view->slider()->setRealValue(value);
        }
    }
    if (!writeRanges.isEmpty())
        application->setCellValuesGetCellValues(writeRanges, values, {});
    return scanned;
}

ScanGrid ScanRunner::buildGrid() const
{
    QList<ScanDimension> axes;
    for (VIVExcelCellSliderView *view : m_registry->selectedSliders()) {
        ScanDimension axis;
        axis.range = view->range();
        axis.minimum = view->slider()->realMinimum();
        axis.maximum = view->slider()->realMaximum();
        axis.step = view->slider()->realStep();
        axis.label = view->display()->text().split("\n").join(" / ");
        axes.append(axis);
    }
    ScanGrid grid(axes);
    grid.size(m_precision->value());
    return grid;
}

QList<int> ScanRunner::initialPositions() const
{
    QList<int> positions;
    const QList<VIVExcelCellSliderView *> &selected = m_registry->selectedSliders();
    for (int i = 0; i < m_grid.dimensions().size(); ++i) {
        if (i < 2 || i >= selected.size())
            positions.append(-1);
        else
            positions.append(
                sliderIndex(selected[i]->slider(), m_grid.dimensions()[i].pointCount() - 1));
    }
    return positions;
}

// A number goes back bit for bit. The user may have turned a slider's cell into a formula, a
// text or an empty cell since the slider was made: such a cell gets its exact content back from
// what the spreadsheet kept when screen updating went off.
void ScanRunner::restoreCells(VIVExcelApplication *application,
                              const QList<VIVExcelCellSliderView *> &scanned)
{
    QList<VIVExcelRange *> ranges;
    for (VIVExcelCellSliderView *view : scanned) {
        if (!view || !view->range())
            continue;
        const QVariant old = view->valueBeforeScan();
        bool isNumber = false;
        old.toDouble(&isNumber);
        if (isNumber && old.typeId() != QMetaType::QString && !view->formulaBeforeScan())
            view->range()->setValue(old);
        else if (!view->range()->restoreContent())
            qCWarning(lcScan) << "Cannot give" << view->range()->address() << "its content back";
        ranges.append(view->range());
    }
    application->recalculateFullyWhereNeeded(ranges);
}

void ScanRunner::reportFailure(ScanEngine::Outcome outcome)
{
    const QString office = ExcelBackend::applicationName();
    if (outcome == ScanEngine::Outcome::OfficeGone) {
        emit scanFailed(office + " stopped answering during the scan. The scan has ended; "
                                 "the next New Sliders or New Watches connects again.");
    } else {
        emit scanFailed("A slider's cell does not accept the values of the scan (is its sheet "
                        "protected?). The scan has ended and the cells have their values back.");
    }
    m_state->dropRestart();
}

int ScanRunner::axisOf(const VIVExcelRange *range) const
{
    for (int i = 0; i < m_grid.dimensions().size(); ++i) {
        if (m_grid.dimensions()[i].range == range)
            return i;
    }
    return -1;
}

void ScanRunner::clearScanData()
{
    m_grid = ScanGrid();
    for (VIVExcelWatchView *watch : m_registry->activeWatches())
        watch->data()->clear();
}

void ScanRunner::scheduleRescan()
{
    if (m_rescanTimer.isActive())
        return;
    qCDebug(lcScan) << "4";
    m_rescanTimer.start();
}

void ScanRunner::updateCrossSections()
{
    QList<int> positions;
    int free = 0;
    for (const ScanDimension &axis : m_grid.dimensions()) {
        VIVExcelCellSliderView *view = m_registry->sliderFor(axis.range);
        if (view && view->selected() && free < 2) {
            positions.append(-1);
            ++free;
        } else {
            positions.append(view ? sliderIndex(view->slider(), axis.lastIndex()) : 0);
        }
    }
    for (VIVExcelWatchView *watch : m_registry->activeWatches()) {
        MinMaxMultiDimData *data = watch->data();
        data->setDataExtractionSettings({positions, data->dataExtractionSettings().fastExtraction});
        watch->update(false);
    }
    markAxes(free);
}

void ScanRunner::markAxes(int freeCount)
{
    const QList<VIVExcelCellSliderView *> &selected = m_registry->selectedSliders();
    QList<VIVExcelCellSliderView *> marked;
    if (freeCount == 0) {
        const char *names[] = {":resources/slider_xyz_x.png", ":resources/slider_xyz_y.png"};
        for (int i = 0; i < selected.size(); ++i) {
            selected[i]->setActive(false);
            const QString image = selected.size() == 1 ? ":resources/slider_xz_x.png"
                                  : i < 2              ? names[i]
                                                       : ":resources/slider_xyz_z.png";
            selected[i]->setOverlayImage(image);
            marked.append(selected[i]);
        }
    } else {
        const qsizetype v = std::min(m_grid.dimensions().size(), selected.size());
        int freeMarked = 0;
        for (const ScanDimension &axis : m_grid.dimensions()) {
            VIVExcelCellSliderView *view = m_registry->sliderFor(axis.range);
            if (!view)
                continue;
            view->setActive(true);
            QString image;
            if (!view->selected() || freeMarked >= 2)
                image = v < 2 ? ":resources/slider_xz_z.png" : ":resources/slider_xyz_z.png";
            else if (v == 1)
                image = ":resources/slider_xz_x.png";
            else
                image = QString(":resources/slider_xyz_%1.png").arg(freeMarked == 0 ? "x" : "y");
            if (view->selected() && freeMarked < 2)
                ++freeMarked;
            view->setOverlayImage(image);
            marked.append(view);
        }
    }
    for (VIVExcelCellSliderView *view : m_registry->sliders()) {
        if (!marked.contains(view)) {
            view->setOverlayImage(QString());
            view->setActive(false);
        }
        view->display()->data()->resetValues();
        view->display()->update(false);
    }
}

void ScanRunner::followSplitPoint(VIVExcelWatchView *watch)
{
    if (m_grid.dimensions().size() < 2)
        return;
    const QList<int> indices = watch->data()->dataExtractionSettings().indices;
    QList<int> free;
    for (int i = 0; i < indices.size(); ++i) {
        if (indices[i] == -1)
            free.append(i);
    }
    if (free.size() != 2)
        return;
    const double fractions[] = {watch->splitPoint().x(), watch->splitPoint().y()};
    for (int k = 0; k < 2 && free[k] < m_grid.dimensions().size(); ++k) {
        VIVExcelCellSliderView *view = m_registry->sliderFor(m_grid.dimensions()[free[k]].range);
        if (!view)
            continue;
        VIVSlider *slider = view->slider();
        const QSignalBlocker blocker(slider);
        slider->setRealValue(slider->realMinimum() +
                             (slider->realMaximum() - slider->realMinimum()) * fractions[k]);
    }
}

void ScanRunner::progressTick()
{
    const QString text = m_engine.progressText(m_progressPhase);
    if (!text.isEmpty())
        m_graphButton->setText(text);
    m_progressPhase = (m_progressPhase + 1) % 5;
}

void ScanRunner::requestRestart()
{
    m_state->requestRestart();
}

void ScanRunner::scanOneSlider(VIVExcelCellSliderView *view, VIVExcelApplication *application,
                               WatchWindow *watchWindow)
{
    if (m_state->isScanning())
        return;
    for (VIVExcelCellSliderView *other : m_registry->sliders()) {
        const QSignalBlocker blocker(other->display());
        other->setSelected(false);
    }
    view->setSelected(true);
    startOrStop(application, watchWindow);
}

void ScanRunner::precisionChanged(VIVExcelApplication *application, WatchWindow *watchWindow)
{
    if (m_state->isScanning())
        requestRestart();
    else
        startOrStop(application, watchWindow);
}

void ScanRunner::sliderMoved(VIVExcelApplication *application, VIVExcelCellSliderView *moved,
                             qreal value)
{
    m_registry->setLastMovedSlider(moved);
    const int axis = moved ? axisOf(moved->range()) : -1;
    if (m_state->isScanning() && axis == -1) {
        requestRestart();
        return;
    }
    if (axis >= 0 && !m_registry->selectedSliders().isEmpty()) {
        updateCrossSections();
        return;
    }
    clearDimensions();
    if (!moved || moved->selected())
        return;
    if (!m_registry->selectedSliders().isEmpty())
        scheduleRescan();
    else if (application)
        m_registry->liveUpdate(application, moved, value);
}

void ScanRunner::selectionChanged(VIVExcelCellSliderView *view)
{
    if (view->selected() && axisOf(view->range()) < 0)
        clearScanData();
    updateCrossSections();
    emit scanStateChanged();
}

// A number the new range holds stays as the user wrote it: the slider's value is that number
// snapped to the slider's grid, and writing it would round the user's number (and leave an edit
// in the undo history for a dialog confirmed without a change). A number outside the range is
// brought to the slider's end, as a move would; text and formulas are never written.
void ScanRunner::keepCellInRange(VIVExcelCellSliderView *view)
{
    const QVariant content = view->range()->value();
    if (content.typeId() != QMetaType::Double)
        return;
    const double number = content.toDouble();
    const VIVSlider *slider = view->slider();
    if (number < slider->realMinimum() || number > slider->realMaximum())
        view->range()->setValue(slider->realValue());
}

void ScanRunner::sliderConfigChanged(VIVExcelCellSliderView *view)
{
    if (!view->range())
        return;
    keepCellInRange(view);
    const int axis = axisOf(view->range());
    if (axis < 0)
        return;
    const ScanDimension &dimension = m_grid.dimensions()[axis];
    if (dimension.minimum != view->slider()->realMinimum() ||
        dimension.maximum != view->slider()->realMaximum())
        clearScanData();
}
