#include "app/sliderwatchregistry.h"
#include "app/applogging.h"
#include "app/graphexport.h"
#include "app/scanstate.h"
#include "app/settingsfiles.h"
#include "app/watchcontainer.h"
#include "app/watchrepaintrates.h"
#include "app/watchsharing.h"

#include "excel/exceladdressblock.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelwindow.h"
#include "graph/minmaxmultidimdata.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchwindow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QTimer>

using View = VIVExcelWatchView;

SliderWatchRegistry::SliderWatchRegistry(QWidget *owner, QBoxLayout *sliderStrip)
    : QObject(owner), m_owner(owner), m_sliderStrip(sliderStrip), m_liveUpdate(this)
{}

SliderWatchRegistry::~SliderWatchRegistry() = default;

bool SliderWatchRegistry::isScanning() const
{
    return ScanState::of(m_owner)->isScanning();
}

bool SliderWatchRegistry::isActive(const VIVExcelWatchView *watch)
{
    return watch && !watch->isInactive();
}

QList<VIVExcelWatchView *> SliderWatchRegistry::activeWatches() const
{
    QList<VIVExcelWatchView *> active;
    for (VIVExcelWatchView *watch : m_watches) {
        if (isActive(watch))
            active.append(watch);
    }
    return active;
}

VIVExcelCellSliderView *SliderWatchRegistry::sliderFor(const VIVExcelRange *range) const
{
    for (VIVExcelCellSliderView *view : m_sliders) {
        if (view && view->range() == range)
            return view;
    }
    return nullptr;
}

bool SliderWatchRegistry::createFromSelection(VIVExcelApplication *application, bool forSliders)
{
    followApplication(application);
    m_cells.takeSelectionOf(application);
    m_createdAny = false;
    m_limitLogged = false;
    m_protectedCells.clear();
    ExcelAddressBlock block{QString()};
    if (forSliders) {
        connect(&block, &ExcelAddressBlock::rangeIterated, this,
                &SliderWatchRegistry::rangeIteratedForSlider);
    } else {
        connect(&block, &ExcelAddressBlock::rangeIterated, this,
                &SliderWatchRegistry::rangeIteratedForWatch);
    }
    if (forSliders)
        m_sliderSettings = SettingsFiles().openSliderSettings();
    block.setAddress(application->activeWindow(false)->selectionWithFilter(!forSliders), true);
    m_sliderSettings.reset();
    if (!forSliders)
        showFirstValues();
    emit listsChanged();
    return m_createdAny;
}

bool SliderWatchRegistry::followApplication(VIVExcelApplication *application)
{
    const bool hadViews = !m_sliders.isEmpty() || !m_watches.isEmpty();
    if (!m_cells.follow(application) || !hadViews)
        return false;
    QStringList lost;
    for (VIVExcelCellSliderView *view : QList(m_sliders)) {
        if (!m_cells.rebind(view)) {
            lost.append(ViewCells::addressOf(view));
            delete view;
        }
    }
    for (VIVExcelWatchView *watch : QList(m_watches)) {
        if (!m_cells.rebind(watch)) {
            lost.append(ViewCells::addressOf(watch));
            removeWatch(watch);
        }
    }
    qCInfo(lcApp) << "Sliders and watches moved to the restarted office;" << lost.size()
                  << "removed";
    if (!lost.isEmpty()) {
        emit viewsDropped(QString("%1 came back without the cells %2. Their sliders and watches "
                                  "were removed.")
                              .arg(ExcelBackend::applicationName(), lost.join(", ")));
    }
    emit listsChanged();
    return true;
}

// A new watch shows its cell's value at once, not only after the next slider move. The workbook
// is recalculated fully first: it may have been saved stale, or edited in Calc with automatic
// calculation off, and the first value must be what a full recalculation gives like every other.
void SliderWatchRegistry::showFirstValues()
{
    QList<VIVExcelWatchView *> fresh;
    QList<VIVExcelRange *> ranges;
    for (VIVExcelWatchView *watch : activeWatches()) {
        if (watch->range() && watch->data()->values().isEmpty()) {
            fresh.append(watch);
            ranges.append(watch->range());
        }
    }
    VIVExcelApplication *application = m_cells.application();
    if (fresh.isEmpty() || !application)
        return;
    LiveUpdate::clearScanDisplay(fresh);
    application->recalculateFully(ranges);
    const QList<qreal> values = application->setCellValuesGetCellValues({}, {}, ranges);
    for (qsizetype i = 0; i < fresh.size() && i < values.size(); ++i)
        fresh[i]->data()->appendValue(values[i]);
}

void SliderWatchRegistry::rangeIteratedForSlider(ExcelAddressBlock *block)
{
    if (m_sliders.size() >= maxObjects) {
        if (!m_limitLogged)
            qCWarning(lcApp) << "Skipping, too many sliders...";
        m_limitLogged = true;
        return;
    }
    if (!ViewCells::isSingleCell(block))
        return;
    m_createdAny = true;
    for (VIVExcelCellSliderView *view : std::as_const(m_sliders)) {
        if (view->range() && view->range()->address() == block->address()) {
            qCDebug(lcApp) << "Slider for" << block->address() << "already exists. Skipping...";
            return;
        }
    }
    VIVExcelRange *range = m_cells.cellOf(block);
    const QVariant value = range->value();
    bool isNumber = false;
    value.toDouble(&isNumber);
    if (!isNumber || value.toString().toLower() == "nan")
        return;
    // A slider whose moves the sheet refuses would show values the workbook never takes.
    if (!range->isWritable()) {
        qCWarning(lcApp) << "The cell is protected" << block->address();
        m_protectedCells.append(block->address());
        return;
    }
    auto *view = new VIVExcelCellSliderView(m_owner);
    bindSlider(view, range);
    wireSlider(view);
    m_sliders.append(view);
    m_sliderStrip->insertWidget(m_sliderStrip->count() - 1, view);
}

void SliderWatchRegistry::bindSlider(VIVExcelCellSliderView *view, VIVExcelRange *range)
{
    view->setRange(range);
    m_cells.remember(view, range);
    const QString description = m_cells.descriptionOf(range);
    view->display()->setText(description);
    view->addressLabel()->setText(range->address());
    if (m_sliderSettings)
        SettingsFiles::loadSliderSettings(view, *m_sliderSettings);
    else
        SettingsFiles().loadSliderSettings(view);
    view->setActive(true);
    view->display()->removeAreaFlags(View::AreaTextMetal);
    view->display()->setTextHeight(description.contains("\n") ? 30 : 24);
}

void SliderWatchRegistry::wireSlider(VIVExcelCellSliderView *view)
{
    using Slider = VIVExcelCellSliderView;
    connect(view, &Slider::valueChanged, this,
            [this, view](VIVExcelRange *range, qreal value, bool &handled) {
                emit sliderMoved(view, range, value, handled);
            });
    connect(view, &Slider::selectedChanged, this, &SliderWatchRegistry::sliderSelectedChanged);
    connect(view, &Slider::buttonSettingsClicked, this,
            [this, view]() { emit sliderSettingsRequested(view); });
    connect(view, &Slider::buttonScan1DClicked, this,
            [this, view]() { emit scan1DRequested(view); });
    connect(view, &Slider::closeRequest, this, &SliderWatchRegistry::sliderCloseRequest);
    connect(view, &QObject::destroyed, this, &SliderWatchRegistry::removeObjectFromLists);
    connect(view->display(), &View::afterPaint, this, &SliderWatchRegistry::watchAfterPaint);
    connect(view, &Slider::configChanged, this, [this, view]() { emit sliderConfigChanged(view); });
    connect(view->slider(), &QSlider::sliderPressed, this,
            &SliderWatchRegistry::enableWatchCanUseFastDraw);
    connect(view->slider(), &QSlider::sliderReleased, this,
            &SliderWatchRegistry::disableWatchCanUseFastDraw);
    connect(view->slider(), &QSlider::sliderPressed, this, &SliderWatchRegistry::sliderPressed);
    connect(view->slider(), &QSlider::sliderReleased, this, &SliderWatchRegistry::sliderReleased);
}

void SliderWatchRegistry::rangeIteratedForWatch(ExcelAddressBlock *block)
{
    if (!ViewCells::isSingleCell(block))
        return;
    m_createdAny = true;
    if (m_watches.size() >= maxObjects) {
        if (!m_limitLogged)
            qCWarning(lcApp) << "Skipping, too many watches...";
        m_limitLogged = true;
        return;
    }
    for (VIVExcelWatchView *watch : activeWatches()) {
        if (watch->range() && watch->range()->address() == block->address()) {
            qCDebug(lcApp) << "Watch for" << block->address() << "already exists. Skipping...";
            return;
        }
    }
    if (!m_watchWindow)
        emit watchWindowNeeded();
    if (!m_watchWindow)
        return;
    VIVExcelWatchView *watch = makeWatch(m_cells.cellOf(block));
    QWidget *container = WatchContainer::build(watch);
    applyWatchSize();
    updateWatchDisplay(watch);
    m_watchWindow->setContentsSpacing(16);
    m_watchWindow->addToContents(container);
    m_watchWindow->addWatch(watch);
    watch->setUpdatesEnabled(false);
    watch->setUpdatesEnabled(true);
}

VIVExcelWatchView *SliderWatchRegistry::makeWatch(VIVExcelRange *range)
{
    auto *watch = new VIVExcelWatchView(m_owner);
    watch->setRange(range);
    m_cells.remember(watch, range);
    const QString description = m_cells.descriptionOf(range);
    if (!description.isEmpty())
        watch->setText(description);
    connect(watch, &View::dataCreated, this, &SliderWatchRegistry::watchDataCreated);
    watch->createData();
    wireWatch(watch);
    WatchSharing::join(watch, m_watches);
    m_watches.append(watch);
    watch->setAreaFlags(allAreasBut(View::AreaScale | View::AreaAxis | View::AreaText));
    DrawSettings3DCube cube = watch->data()->drawSettings3DCube();
    cube.showPoints = m_watchWindow->showsPoints();
    watch->data()->setDrawSettings3DCube(cube);
    return watch;
}

void SliderWatchRegistry::wireWatch(VIVExcelWatchView *watch)
{
    connect(watch, &View::closeRequest, this, &SliderWatchRegistry::watchCloseRequest);
    connect(watch, &QObject::destroyed, this, &SliderWatchRegistry::removeObjectFromLists);
    connect(watch, &View::buttonClicked, this, &SliderWatchRegistry::watchButtonClicked);
    connect(watch, &View::mousePressed, this,
            [this, watch]() { WatchRepaintRates::activeStarted(m_watches, watch); });
    connect(watch, &View::mouseReleased, this,
            [this, watch]() { WatchRepaintRates::activeEnded(m_watches, watch); });
    connect(watch, &View::mouseZoomChanging, this, [this, watch]() { watchZoomEvent(watch); });
    connect(watch, &View::splitChanged, this, &SliderWatchRegistry::watchSplitChanged);
    connectDataSignals(watch);
}

void SliderWatchRegistry::connectDataSignals(VIVExcelWatchView *watch)
{
    connect(watch->data(), &MinMaxMultiDimData::graphDepthChanged, this,
            &SliderWatchRegistry::watchGraphDepthChanged, Qt::UniqueConnection);
    if (m_watchWindow) {
        connect(watch->data(), &MinMaxMultiDimData::graphDepthChanged, m_watchWindow.data(),
                &WatchWindow::checkResize, Qt::UniqueConnection);
    }
}

void SliderWatchRegistry::watchDataCreated()
{
    auto *watch = qobject_cast<VIVExcelWatchView *>(sender());
    if (!watch || !m_watches.contains(watch))
        return;
    WatchSharing::join(watch, m_watches);
    connectDataSignals(watch);
}

void SliderWatchRegistry::watchGraphDepthChanged()
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches)) {
        if (watch && watch->data() == sender())
            updateWatchDisplay(watch);
    }
}

void SliderWatchRegistry::updateWatchDisplay(VIVExcelWatchView *watch)
{
    WatchContainer::updateDisplay(watch, m_watchWindow);
}

void SliderWatchRegistry::setWatchSize(int size)
{
    if (size == m_watchSize)
        return;
    m_watchSize = size;
    applyWatchSize();
}

void SliderWatchRegistry::applyWatchSize()
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches)) {
        const int text = (watch->areaFlags() & View::AreaTextMetal) ? watch->textHeight() : 0;
        const QSize size(m_watchSize + watch->scaleWidth(),
                         m_watchSize + watch->axisHeight() + text);
        watch->setMinimumSize(size);
        watch->setMaximumSize(size);
    }
}

void SliderWatchRegistry::deactivateWatches()
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches))
        watch->setInactive(true);
}

void SliderWatchRegistry::liveUpdate(VIVExcelApplication *application,
                                     VIVExcelCellSliderView *moved, qreal value)
{
    if (!m_liveUpdate.run(application, moved, value, m_sliders, activeWatches())) {
        emit liveUpdateFailed(ExcelBackend::applicationName() +
                              " stopped answering while the slider moved. The next New Sliders "
                              "or New Watches connects again.");
    }
}

// A drag from press to release is one undo step of the cell's workbook.
void SliderWatchRegistry::sliderPressed()
{
    if (isScanning() || !m_selectedSliders.isEmpty())
        return;
    auto *slider = qobject_cast<VIVSlider *>(sender());
    for (VIVExcelCellSliderView *view : std::as_const(m_sliders)) {
        if (view->slider() == slider)
            m_liveUpdate.beginDrag(view->range());
    }
}

void SliderWatchRegistry::sliderReleased()
{
    m_liveUpdate.endDrag();
}

VIVExcelCellSliderView *SliderWatchRegistry::takeLastMovedSlider()
{
    VIVExcelCellSliderView *view = m_lastMovedSlider;
    m_lastMovedSlider = nullptr;
    return view;
}

void SliderWatchRegistry::sliderSelectedChanged()
{
    auto *view = qobject_cast<VIVExcelCellSliderView *>(sender());
    if (!view)
        return;
    if (view->selected()) {
        if (!m_selectedSliders.contains(view))
            m_selectedSliders.append(view);
    } else {
        m_selectedSliders.removeAll(view);
    }
    view->slider()->setEnabled(!view->selected());
    emit selectionChanged(view);
}

void SliderWatchRegistry::sliderCloseRequest()
{
    if (auto *view = qobject_cast<VIVExcelCellSliderView *>(sender()); view && !isScanning())
        view->deleteLater();
}

void SliderWatchRegistry::watchCloseRequest()
{
    auto *watch = qobject_cast<VIVExcelWatchView *>(sender());
    if (watch && !isScanning() && watch->parentWidget())
        watch->parentWidget()->deleteLater();
}

// A watch goes with the container that frames it in the watch window.
void SliderWatchRegistry::removeWatch(VIVExcelWatchView *watch)
{
    QWidget *container = watch->parentWidget();
    if (container && container != m_owner)
        delete container;
    else
        delete watch;
}

void SliderWatchRegistry::removeAll()
{
    while (!m_watches.isEmpty())
        removeWatch(m_watches.first());
    while (!m_sliders.isEmpty())
        delete m_sliders.first();
    m_selectedSliders.clear();
    emit listsChanged();
}

// The object is half destroyed: only its address is compared.
void SliderWatchRegistry::removeObjectFromLists(QObject *object)
{
    m_watches.removeIf(
        [object](VIVExcelWatchView *w) { return static_cast<QObject *>(w) == object; });
    m_sliders.removeIf(
        [object](VIVExcelCellSliderView *v) { return static_cast<QObject *>(v) == object; });
    m_selectedSliders.removeIf(
        [object](VIVExcelCellSliderView *v) { return static_cast<QObject *>(v) == object; });
    emit listsChanged();
}

void SliderWatchRegistry::watchAfterPaint(QPainter &painter)
{
    if (auto *display = qobject_cast<QWidget *>(sender()))
        VIVExcelCellSliderView::paintOverlayImage(display, painter);
}

void SliderWatchRegistry::watchSplitChanged()
{
    auto *watch = qobject_cast<VIVExcelWatchView *>(sender());
    if (!watch)
        return;
    for (VIVExcelWatchView *other : activeWatches()) {
        if (other != watch)
            other->setSplitPoint(watch->splitPoint());
    }
    emit splitPointMoved(watch);
}

void SliderWatchRegistry::watchButtonClicked(const QString &name)
{
    auto *watch = qobject_cast<VIVExcelWatchView *>(sender());
    if (!watch)
        return;
    watch->setButtonsVisible(false);
    if (name == "close" && watch->parentWidget())
        watch->parentWidget()->deleteLater();
    else if (name == "exportimage")
        GraphExport::copyImage(watch);
    else if (name == "exportdata")
        GraphExport::copyData(watch);
}

void SliderWatchRegistry::enableWatchCanUseFastDraw()
{
    WatchRepaintRates::setFastDraw(m_watches, true);
}

void SliderWatchRegistry::disableWatchCanUseFastDraw()
{
    WatchRepaintRates::setFastDraw(m_watches, false);
}

// A zoom has no release: the rates come back a second after it.
void SliderWatchRegistry::watchZoomEvent(VIVExcelWatchView *watch)
{
    WatchRepaintRates::activeStarted(m_watches, watch);
    QTimer::singleShot(1000, this, [this, zooming = QPointer<VIVExcelWatchView>(watch)]() {
        WatchRepaintRates::activeEnded(m_watches, zooming);
    });
}
