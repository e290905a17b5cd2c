#include "watches/vivexcelwatchview.h"

#include "excel/vivexcelrange.h"
#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchscale.h"
#include "watches/watchaxes.h"
#include "widgets/imagecache.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Split points closer than this are the same point: it ends the echo between a view and its
// sub watches, which hand every move back to each other.
constexpr double splitTolerance = 1e-12;
// Curves of earlier scans fade out over this time and are dropped below the opacity floor.
constexpr double stackFadeMs = 500.0;
constexpr double stackOpacityFloor = 0.1;
// While fast drawing, a surface that still takes longer than this to draw loses quality.
constexpr qint64 slowDrawingMs = 50;
// Size of the top-left corner over which the button indicator appears.
constexpr int indicatorCorner = 30;
// A press this close to the left end of the hidden button row shows the buttons.
constexpr int indicatorStripWidth = 16;
// Hovering reaches this far beyond the button row, to the right and below.
constexpr int hoverSlack = 8;

QString oneLine(const QString &text)
{
    return text.split(QLatin1Char('\n')).join(QStringLiteral(" / "));
}

} // namespace

VIVExcelWatchView::VIVExcelWatchView(QWidget *parent)
    : QWidget(parent), m_lastPaintTime(QDateTime::currentDateTime())
{
    setMinimumHeight(m_textHeight + 150);
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    setMouseTracking(true);
    m_areaFlags = AreaAll & ~AreaSplit;

    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(int(m_minRepaintInterval));
    connect(&m_repaintTimer, &QTimer::timeout, this, [this] { update(); });
    m_stackTimer.setInterval(100);
    connect(&m_stackTimer, &QTimer::timeout, this, &VIVExcelWatchView::removeOldestPreviousData);
    m_hideButtonsTimer.setInterval(200);
    connect(&m_hideButtonsTimer, &QTimer::timeout, this, [this] {
        m_hideButtonsTimer.stop();
        hideButtons();
    });
    m_subWatchTimer.setSingleShot(true);
    connect(&m_subWatchTimer, &QTimer::timeout, this, &VIVExcelWatchView::updateSubWatches);

    createData();
    setSplitPoint(QPointF(0.5, 0.5));
    // The first update after construction must never be deferred.
    setMinRepaintInterval(0);
}

qint64 VIVExcelWatchView::repaintIntervalFor(qint64 paintMs, double factor)
{
    // A paint too quick to measure still counts, so that a burst of changes is merged.
    const qint64 measured = paintMs > 0 ? paintMs : 12;
    return qint64(double(measured) * factor + 20.0);
}

// ---- plain setters -------------------------------------------------------------------------

void VIVExcelWatchView::setButtons(const QList<WatchButton> &buttons)
{
    m_buttons = buttons;
    m_hoveredButton = std::clamp(m_hoveredButton, -1, int(m_buttons.size()) - 1);
    update(false);
}

void VIVExcelWatchView::setHoveredButton(int index)
{
    index = std::clamp(index, -1, int(m_buttons.size()) - 1);
    if (index == m_hoveredButton)
        return;
    m_hoveredButton = index;
    update(true);
}

void VIVExcelWatchView::setButtonsVisible(bool visible)
{
    if (visible == m_buttonsVisible)
        return;
    m_buttonsVisible = visible;
    update(true);
}

void VIVExcelWatchView::setText(const QString &text)
{
    m_text = text;
    update(false);
}

void VIVExcelWatchView::setTextHeight(int height)
{
    if (height == m_textHeight)
        return;
    m_textHeight = height;
    update(false);
}

VIVExcelRange *VIVExcelWatchView::range() const
{
    return m_range;
}

void VIVExcelWatchView::setRange(VIVExcelRange *range)
{
    if (range == m_range)
        return;
    m_range = range;
    m_text = range ? range->address() : QString();
    m_data->clear();
    update(false);
}

void VIVExcelWatchView::setAreaFlags(unsigned flags)
{
    flags &= AreaAll;
    if (flags == m_areaFlags)
        return;
    m_areaFlags = flags;
    update(false);
}

void VIVExcelWatchView::addAreaFlags(unsigned flags)
{
    setAreaFlags(m_areaFlags | flags);
}

void VIVExcelWatchView::removeAreaFlags(unsigned flags)
{
    setAreaFlags(m_areaFlags & ~flags);
}

void VIVExcelWatchView::setSubWatchMargin(int margin)
{
    if (margin == m_subWatchMargin)
        return;
    m_subWatchMargin = margin;
    sizeSubWatches();
    update(false);
}

void VIVExcelWatchView::setMinRepaintInterval(qint64 ms)
{
    // Not a visible property: changing it must not ask for the repaint that changes it again.
    ms = std::clamp<qint64>(ms, 0, INT_MAX);
    if (ms == m_minRepaintInterval)
        return;
    m_minRepaintInterval = ms;
    m_repaintTimer.setInterval(int(ms));
}

void VIVExcelWatchView::restartRepaintClock()
{
    if (m_repaintTimer.isActive())
        m_repaintTimer.start();
    m_lastPaintTime = QDateTime::currentDateTime();
}

void VIVExcelWatchView::setRepaintFactor(double factor)
{
    if (std::isfinite(factor))
        m_repaintFactor = factor;
}

// ---- pairing with the scale and the sub watches ----------------------------------------------

VIVExcelWatchScale *VIVExcelWatchView::watchScale() const
{
    return m_watchScale;
}

void VIVExcelWatchView::setWatchScale(VIVExcelWatchScale *scale)
{
    if (scale == m_watchScale)
        return;
    VIVExcelWatchScale *old = m_watchScale;
    m_watchScale = scale;
    connectScale();
    // The old scale may already be paired with another view; only our own pairing is undone.
    if (old && old->watchView() == this)
        old->setWatchView(nullptr);
    if (scale)
        scale->setWatchView(this);
}

void VIVExcelWatchView::connectScale()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_scaleConnections))
        disconnect(connection);
    m_scaleConnections.clear();
    VIVExcelWatchScale *scale = m_watchScale;
    if (!scale)
        return;
    m_scaleConnections.append(
        connect(m_data, &MinMaxMultiDimData::minMaxChanged, scale, [scale] { scale->update(); }));
    m_scaleConnections.append(connect(this, &VIVExcelWatchView::crossPointValueChanged, scale,
                                      [scale] { scale->update(); }));
}

bool VIVExcelWatchView::isOwnSubWatch(const VIVExcelWatchView *watch) const
{
    // A view that showed cuts of itself would overwrite its own data with them.
    if (watch != this)
        return false;
    qDebug() << "A watch cannot be its own sub watch";
    return true;
}

void VIVExcelWatchView::setSubWatchX(VIVExcelWatchView *watch)
{
    if (watch == m_subWatchX || isOwnSubWatch(watch))
        return;
    if (m_subWatchX)
        disconnect(m_subWatchX, &VIVExcelWatchView::splitChanged, this,
                   &VIVExcelWatchView::setSplitPoint);
    m_subWatchX = watch;
    if (watch)
        connect(watch, &VIVExcelWatchView::splitChanged, this, &VIVExcelWatchView::setSplitPoint);
    sizeSubWatches();
    updateSubWatches();
}

void VIVExcelWatchView::setSubWatchY(VIVExcelWatchView *watch)
{
    if (watch == m_subWatchY || isOwnSubWatch(watch))
        return;
    if (m_subWatchY)
        disconnect(m_subWatchY, &VIVExcelWatchView::splitChanged, this,
                   &VIVExcelWatchView::setInvertedSplitPoint);
    m_subWatchY = watch;
    if (watch)
        connect(watch, &VIVExcelWatchView::splitChanged, this,
                &VIVExcelWatchView::setInvertedSplitPoint);
    sizeSubWatches();
    updateSubWatches();
}

void VIVExcelWatchView::sizeSubWatches()
{
    const QSize base =
        (minimumSize() - QSize(m_subWatchMargin, m_subWatchMargin)).expandedTo(QSize(0, 0));
    for (VIVExcelWatchView *watch : {m_subWatchX.data(), m_subWatchY.data()}) {
        if (!watch)
            continue;
        watch->setMinimumSize(base * 0.5);
        watch->setMaximumSize(base * 1.5);
    }
}

// ---- data objects ---------------------------------------------------------------------------

void VIVExcelWatchView::createData()
{
    MinMaxMultiDimData *old = m_data;
    if (old) {
        old->blockSignals(true);
        m_previousData.append(old);
        old->setProperty("stackingdate", QDateTime::currentDateTime());
        m_stackTimer.start();
    }
    m_data = new MinMaxMultiDimData(this);
    if (old)
        copySettingsInto(m_data);
    connectData();
    connectScale();
    emit dataCreated();
    update(false);
}

void VIVExcelWatchView::copySettingsInto(MinMaxMultiDimData *target) const
{
    const MinMaxMultiDimData *old = m_previousData.constLast();
    // The dimensions come first: an index list is only kept by a store whose dimensions it fits.
    target->setDimensions(old->dimensions());
    target->setDataExtractionSettings(old->dataExtractionSettings());
    target->setPerspectiveSettings(old->perspectiveSettings());
    target->setDrawSettings2D(old->drawSettings2D());
    target->setDrawSettings3DFlat(old->drawSettings3DFlat());
    target->setDrawSettings3DCube(old->drawSettings3DCube());
    target->setFlat3D(old->flat3D());
    target->setHistoryLimit(old->historyLimit());
    target->setMinMax(old->minimum(), old->maximum());
}

void VIVExcelWatchView::connectData()
{
    using Data = MinMaxMultiDimData;
    using View = VIVExcelWatchView;
    connect(m_data, &Data::changed, this, &View::updateWithSubgraphs);
    connect(m_data, &Data::dimensionsChanged, this, qOverload<>(&View::updateCubeFillLimits));
    connect(m_data, &Data::dataExtractionSettingsChanged, this,
            qOverload<>(&View::updateCubeFillLimits));
    connect(m_data, &Data::dataExtractionSettingsChanged, this, &View::updateSubWatches);
    connect(m_data, &Data::minMaxChanged, this, &View::dataMinMaxChanged);
    connect(m_data, &Data::reportNaN, this, &View::dataNaNReported);
    connect(m_data, &Data::beforePaint3D, this, &View::dataBeforePaint3D);
    connect(m_data, &Data::afterPaint3D, this, &View::dataAfterPaint3D);
    connect(m_data, &Data::paint3DAxesNeeded, this, &View::data3DAxesNeeded);
    connect(m_data, &Data::paint3DYAxisNeeded, this, &View::data3DYAxisNeeded);
    connect(m_data, &Data::updateNeeded, this, [this] { update(); });
}

double VIVExcelWatchView::stackedOpacity(const MinMaxMultiDimData *old)
{
    const qint64 age =
        old->property("stackingdate").toDateTime().msecsTo(QDateTime::currentDateTime());
    return 1.0 - double(age) / stackFadeMs;
}

void VIVExcelWatchView::removeOldestPreviousData()
{
    // Faded curves go even when no paint marked them, so a hidden view does not collect the
    // data of every scan.
    for (qsizetype i = m_previousData.size() - 1; i >= 0; --i) {
        MinMaxMultiDimData *old = m_previousData.at(i);
        if (old->property("tobedeleted").toBool() || stackedOpacity(old) <= stackOpacityFloor)
            delete m_previousData.takeAt(i);
    }
    if (m_previousData.isEmpty())
        m_stackTimer.stop();
    update(false);
}

void VIVExcelWatchView::clearPreviousData()
{
    qDeleteAll(m_previousData);
    m_previousData.clear();
    m_stackTimer.stop();
}

void VIVExcelWatchView::dataMinMaxChanged()
{
    for (MinMaxMultiDimData *old : std::as_const(m_previousData))
        old->setMinMax(m_data->minimum(), m_data->maximum());
    m_subWatchesDirty = true;
    update(false);
}

void VIVExcelWatchView::dataNaNReported() {}

void VIVExcelWatchView::updateWithSubgraphs()
{
    m_subWatchesDirty = true;
    update(false);
}

// ---- split point, cross point and sub watches ------------------------------------------------

void VIVExcelWatchView::setSplitPoint(QPointF point)
{
    if (!std::isfinite(point.x()) || !std::isfinite(point.y())) {
        qDebug() << "Invalid split point" << point;
        return;
    }
    if (std::abs(point.x() - m_splitPoint.x()) <= splitTolerance &&
        std::abs(point.y() - m_splitPoint.y()) <= splitTolerance)
        return;
    m_splitPoint = point;
    const QPoint index = crossPointIndex(point);
    if (m_subWatchX)
        m_subWatchX->setSplitPoint(point);
    if (m_subWatchY)
        m_subWatchY->setSplitPoint(QPointF(point.y(), point.x()));
    // Marked before the highlight moves: on a cube that move is what asks for the repaint,
    // and the repaint request is what schedules the sub watches.
    m_subWatchesDirty = true;
    updateCubeFillLimits(index);
    emit splitChanged(point);
    if (!is3DProper())
        update(false);
}

void VIVExcelWatchView::setInvertedSplitPoint(QPointF point)
{
    setSplitPoint(QPointF(point.y(), point.x()));
}

bool VIVExcelWatchView::hasFreeDimensionPair() const
{
    return m_data->graphDepth() >= 4 &&
           MinMaxMultiDimData::freeIndexPositions(m_data->dataExtractionSettings().indices)
                   .size() == 2 &&
           m_data->dimensions().size() >= 2;
}

QPoint VIVExcelWatchView::crossPointIndex(QPointF point) const
{
    if (!hasFreeDimensionPair())
        return QPoint(-1, -1);
    const QList<int> free =
        MinMaxMultiDimData::freeIndexPositions(m_data->dataExtractionSettings().indices);
    const double c1 = m_data->dimensions().at(free.at(0)).count;
    const double c2 = m_data->dimensions().at(free.at(1)).count;
    // Points outside the graph (set from outside, not by the mouse) pick the nearest edge.
    const double x = std::clamp(point.x(), 0.0, 1.0);
    const double y = std::clamp(point.y(), 0.0, 1.0);
    // The factor just below 1 keeps the point 1.0 inside the last cell.
    constexpr double inside = 0.9999999;
    if (m_data->flat3D())
        return QPoint(int(std::floor(c1 * inside * x)), int(std::floor(c2 * inside * y)));
    return QPoint(int(std::floor((c1 - 1.0) * inside * x + 0.5)),
                  int(std::floor((c2 - 1.0) * inside * y + 0.5)));
}

void VIVExcelWatchView::updateCubeFillLimits(QPoint index)
{
    if (index == QPoint(-1, -1))
        index = crossPointIndex(m_splitPoint);
    DrawSettings3DCube settings = m_data->drawSettings3DCube();
    settings.highlightColumn = index.x();
    settings.highlightRow = index.y();
    m_data->setDrawSettings3DCube(settings);
}

void VIVExcelWatchView::updateCubeFillLimits()
{
    updateCubeFillLimits(QPoint(-1, -1));
}

void VIVExcelWatchView::updateSubWatches()
{
    m_subWatchTimer.stop();
    m_subWatchesDirty = false;
    if (!hasFreeDimensionPair())
        return;
    const QPoint index = crossPointIndex(m_splitPoint);
    // Sub watch X runs along the first free dimension at the cross point's row, Y along the
    // second at its column.
    fillSubWatch(m_subWatchX, 1, index.y());
    fillSubWatch(m_subWatchY, 0, index.x());
    updateCrossPointValue(index);
}

void VIVExcelWatchView::fillSubWatch(VIVExcelWatchView *watch, int freeEntry, int index) const
{
    if (!watch)
        return;
    MinMaxMultiDimData *cut = watch->data();
    if (index < 0) {
        cut->clear();
        return;
    }
    DataExtractionSettings settings = m_data->dataExtractionSettings();
    settings.indices[m_data->freeDimension(freeEntry)] = index;
    cut->setDimensions(m_data->dimensions());
    cut->setValues(m_data->values());
    cut->scanComplete = m_data->scanComplete;
    cut->setDataExtractionSettings(settings);
    cut->setMinMax(m_data->minimum(), m_data->maximum());
}

void VIVExcelWatchView::updateCrossPointValue(QPoint index)
{
    QList<int> indices = m_data->dataExtractionSettings().indices;
    indices[m_data->freeDimension(0)] = index.x();
    indices[m_data->freeDimension(1)] = index.y();
    m_crossPointValue = m_data->value(indices);
    emit crossPointValueChanged();
}

// ---- fast drawing ---------------------------------------------------------------------------

void VIVExcelWatchView::setCanUseFastDraw(bool on)
{
    if (on) {
        ++m_fastDrawCount;
        DataExtractionSettings settings = m_data->dataExtractionSettings();
        settings.fastExtraction = true;
        const QSignalBlocker blocker(m_data);
        m_data->setDataExtractionSettings(settings);
    } else {
        // An unbalanced release must not leave the count below zero, or the next press would
        // not switch fast drawing on.
        m_fastDrawCount = std::max(0, m_fastDrawCount - 1);
        update(false);
    }
    if (m_fastDrawCount < 2)
        emit canUseFastDrawChanged(on);
}

void VIVExcelWatchView::adaptQuality()
{
    DrawSettings3DCube cube = m_data->drawSettings3DCube();
    DataExtractionSettings extraction = m_data->dataExtractionSettings();
    if (m_fastDrawCount <= 0) {
        extraction.fastExtraction = false;
        cube.fastDraw = false;
        cube.noAntialiasing = false;
    } else if (m_data->lastDrawingTime() > slowDrawingMs) {
        // Merge faces first; only when that is still too slow, drop antialiasing as well.
        if (extraction.fastExtraction)
            cube.noAntialiasing = true;
        else
            extraction.fastExtraction = true;
    }
    const QSignalBlocker blocker(m_data);
    m_data->setDataExtractionSettings(extraction);
    m_data->setDrawSettings3DCube(cube);
}

// ---- repainting ---------------------------------------------------------------------------

void VIVExcelWatchView::update(bool force)
{
    if (force) {
        m_repaintTimer.stop();
        repaint();
    } else {
        if (m_lastPaintTime.msecsTo(QDateTime::currentDateTime()) < m_minRepaintInterval) {
            if (!m_repaintTimer.isActive())
                m_repaintTimer.start();
            return;
        }
        m_repaintTimer.stop();
        QWidget::update();
    }
    if (m_subWatchesDirty && (m_subWatchX || m_subWatchY) && !m_subWatchTimer.isActive())
        m_subWatchTimer.start(1);
}

// ---- geometry -------------------------------------------------------------------------------

bool VIVExcelWatchView::is3DProper() const
{
    return m_data->graphDepth() >= 4 && !m_data->flat3D();
}

QRect VIVExcelWatchView::areaRect(WatchArea area) const
{
    QRect rect = contentsRect();
    if (area == WatchAreaAll)
        return rect;
    rect.adjust(2, 2, -3, -3);
    const bool hasText = m_areaFlags & AreaText;
    const bool hasScale = m_areaFlags & AreaScale;
    const bool hasAxis = m_areaFlags & AreaAxis;
    const bool proper = is3DProper();
    switch (area) {
    case WatchAreaText:
        rect.setBottom(rect.top() + m_textHeight - 1);
        break;
    case WatchAreaGraph:
        if (hasText)
            rect.setTop(rect.top() + m_textHeight);
        if (hasScale && !proper)
            rect.setLeft(rect.left() + m_scaleWidth);
        if (hasAxis && !proper)
            rect.setBottom(rect.bottom() - m_axisHeight - 1);
        break;
    case WatchAreaScale:
        if (!hasScale)
            return QRect();
        rect.setRight(m_scaleWidth);
        if (hasAxis)
            rect.setBottom(rect.bottom() - m_axisHeight - 1);
        if (hasText)
            rect.setTop(rect.top() + m_textHeight);
        break;
    case WatchAreaAxis:
        if (!hasAxis)
            return QRect();
        rect.setTop(rect.bottom() - m_axisHeight);
        if (hasScale && !proper)
            rect.setLeft(rect.left() + m_scaleWidth);
        break;
    case WatchAreaBody:
        break;
    case WatchAreaButtons:
        if (m_areaFlags & AreaButtons) {
            rect.setLeft(3);
            rect.setRight(m_buttonSize * int(m_buttons.size()) + 2);
            rect.setBottom(rect.top() + m_buttonSize - 1);
        }
        break;
    default:
        qDebug() << "Unknown WatchArea value";
        break;
    }
    return rect;
}

void VIVExcelWatchView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A rolling trace spaced 2 px apart then just fills the graph.
    m_data->setHistoryLimit(std::max(0, areaRect(WatchAreaGraph).width() / 2));
    sizeSubWatches();
    emit sizeChanged();
}

// ---- scale and axis values ------------------------------------------------------------------

const DataDimension *VIVExcelWatchView::freeDimensionRecord(int n) const
{
    const int position = m_data->freeDimension(n);
    if (position < 0 || position >= m_data->dimensions().size())
        return nullptr;
    return &m_data->dimensions().at(position);
}

double VIVExcelWatchView::curveScaleMargin() const
{
    const double range = m_data->maximum() - m_data->minimum();
    if (range <= 0.0)
        return 0.15;
    // The curve fills the central 75 % of the graph; the scale spans the whole height.
    const double height = areaRect(WatchAreaGraph).height();
    const double band = height > 0.0 ? std::trunc(0.75 * height) / height : 0.0;
    return band > 0.0 ? range * (1.0 - band) / band * 0.5 : 0.0;
}

double VIVExcelWatchView::scaleTop() const
{
    const int depth = m_data->graphDepth();
    if (depth == 1 || depth == 2)
        return m_data->maximum() + curveScaleMargin();
    const DataDimension *second = depth > 2 ? freeDimensionRecord(1) : nullptr;
    return second ? second->to : qQNaN();
}

double VIVExcelWatchView::scaleBottom() const
{
    const int depth = m_data->graphDepth();
    if (depth == 1 || depth == 2)
        return m_data->minimum() - curveScaleMargin();
    const DataDimension *second = depth > 2 ? freeDimensionRecord(1) : nullptr;
    return second ? second->from : qQNaN();
}

QString VIVExcelWatchView::scaleLabel() const
{
    const int depth = m_data->graphDepth();
    if (depth == 1 || depth == 2)
        return oneLine(m_text);
    const DataDimension *second = depth > 2 ? freeDimensionRecord(1) : nullptr;
    return second ? second->label : QString();
}

double VIVExcelWatchView::axisLow() const
{
    const DataDimension *first = m_data->graphDepth() >= 2 ? freeDimensionRecord(0) : nullptr;
    return first ? first->from : qQNaN();
}

double VIVExcelWatchView::axisHigh() const
{
    const DataDimension *first = m_data->graphDepth() >= 2 ? freeDimensionRecord(0) : nullptr;
    return first ? first->to : qQNaN();
}

QString VIVExcelWatchView::axisLabel() const
{
    const DataDimension *first = m_data->graphDepth() >= 2 ? freeDimensionRecord(0) : nullptr;
    return first ? first->label : QString();
}

// ---- painting -------------------------------------------------------------------------------

void VIVExcelWatchView::paintEvent(QPaintEvent *event)
{
    m_lastPaintTime = QDateTime::currentDateTime();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRect exposed = event->rect();
    const QRect graph = areaRect(WatchAreaGraph);
    const bool graphExposed = graph.intersects(exposed);

    paintGraph(painter, exposed);
    if ((m_areaFlags & AreaScale) && !is3DProper() &&
        (graphExposed || areaRect(WatchAreaScale).intersects(exposed)))
        paintScale(painter);
    if ((m_areaFlags & AreaAxis) && !is3DProper() &&
        (graphExposed || areaRect(WatchAreaAxis).intersects(exposed)))
        paintAxis(painter);
    if ((m_areaFlags & AreaText) && areaRect(WatchAreaText).intersects(exposed))
        paintText(painter);
    if ((m_areaFlags & AreaButtons) && !m_buttons.isEmpty() &&
        areaRect(WatchAreaButtons).intersects(exposed))
        paintButtons(painter);
    paintFrame(painter);
    emit afterPaint(painter);
}

void VIVExcelWatchView::paintGraph(QPainter &painter, const QRect &exposed)
{
    QRect graph = areaRect(WatchAreaGraph);
    if (!graph.intersects(exposed))
        return;
    painter.fillRect(graph, watchGraphBackground());
    const int depth = m_data->graphDepth();
    if (depth == 2) {
        // Curves use the central 75 % of the height, leaving room above and below.
        const int height = graph.height();
        const int band = int(height * 0.75);
        graph.setTop(graph.top() + (height - band) / 2);
        graph.setHeight(band);
    } else {
        for (MinMaxMultiDimData *old : std::as_const(m_previousData))
            old->setProperty("tobedeleted", true);
    }
    if (is3DProper()) {
        // The image size alone: handing it on to the watches that share these settings would
        // make watches of different sizes repaint each other without end.
        DrawSettings3DCube cube = m_data->drawSettings3DCube();
        cube.imageSize = graph.size();
        const QSignalBlocker blocker(m_data);
        m_data->setDrawSettings3DCube(cube);
    }
    if (depth == 0)
        return;

    if (depth == 2)
        paintPreviousData(painter, graph);
    if (is3DProper())
        adaptQuality();
    QElapsedTimer timer;
    timer.start();
    m_data->paint(painter, graph);
    m_paintDuration = timer.elapsed();
    if (m_paintDuration <= 0)
        m_paintDuration = 12;
    setMinRepaintInterval(repaintIntervalFor(m_paintDuration, m_repaintFactor));

    if ((m_areaFlags & AreaSplit) && !is3DProper())
        paintSplitLines(painter, areaRect(WatchAreaGraph));
}

void VIVExcelWatchView::paintPreviousData(QPainter &painter, const QRect &graph)
{
    for (MinMaxMultiDimData *old : std::as_const(m_previousData)) {
        const double opacity = stackedOpacity(old);
        if (opacity > stackOpacityFloor) {
            DrawSettings2D settings = old->drawSettings2D();
            settings.opacity = opacity;
            old->setDrawSettings2D(settings);
            old->paint(painter, graph);
        } else {
            old->setProperty("tobedeleted", true);
        }
    }
}

void VIVExcelWatchView::paintSplitLines(QPainter &painter, const QRect &graph)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 1));
    if (m_areaFlags & AreaSplitVertical) {
        const int x = int(graph.left() + m_splitPoint.x() * graph.width());
        painter.drawLine(x, graph.top(), x, graph.bottom());
    }
    if (m_areaFlags & AreaSplitHorizontal) {
        const int y = int(graph.bottom() - m_splitPoint.y() * graph.height());
        painter.drawLine(graph.left(), y, graph.right(), y);
    }
    painter.restore();
}

void VIVExcelWatchView::paintScale(QPainter &painter)
{
    // The corner under the scale and left of the axis belongs to neither; it gets their ground.
    if (m_areaFlags & AreaAxis) {
        const QRect scale = areaRect(WatchAreaScale);
        const QRect axis = areaRect(WatchAreaAxis);
        painter.fillRect(
            QRect(QPoint(scale.left(), scale.bottom() + 1), QPoint(axis.left() - 1, axis.bottom())),
            watchGraphBackground());
    }
    drawValueScale(painter, areaRect(WatchAreaScale), areaRect(WatchAreaGraph), scaleTop(),
                   scaleBottom(), scaleLabel());
}

void VIVExcelWatchView::paintAxis(QPainter &painter)
{
    drawParameterAxis(painter, areaRect(WatchAreaAxis), areaRect(WatchAreaGraph), axisLow(),
                      axisHigh(), axisLabel());
}

void VIVExcelWatchView::paintText(QPainter &painter)
{
    const QRect rect = areaRect(WatchAreaText);
    const Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignTop | Qt::AlignVCenter;
    painter.save();
    QFont font = painter.font();
    if (m_areaFlags & AreaTextMetal) {
        painter.drawImage(rect, *cachedImage(QStringLiteral(":resources/metal.jpg")));
        font.setPixelSize(12);
        font.setWeight(QFont::Normal);
        painter.setFont(font);
        // Dark above, light to the right: the text looks pressed into the metal.
        painter.setPen(Qt::black);
        painter.drawText(rect.translated(0, -1), alignment, m_text);
        painter.setPen(Qt::white);
        painter.drawText(rect.translated(1, 0), alignment, m_text);
    } else {
        painter.fillRect(rect, watchGraphBackground());
        font.setPixelSize(10);
        font.setWeight(QFont::Bold);
        painter.setFont(font);
        const QRect shifted = rect.translated(0, -1);
        painter.setPen(Qt::black);
        painter.drawText(shifted, alignment, m_text);
        painter.setPen(Qt::white);
        painter.drawText(shifted, alignment, m_text);
    }
    painter.restore();
}

void VIVExcelWatchView::paintButtons(QPainter &painter)
{
    const QRect area = areaRect(WatchAreaButtons).adjusted(0, 0, 1, 1);
    if (!m_buttonsVisible) {
        if (m_mouseOverIndicator && (m_areaFlags & AreaIndicator))
            painter.drawImage(area.topLeft(),
                              *cachedImage(QStringLiteral(":resources/watchbuttonbutton.png")));
        return;
    }
    for (int i = 0; i < m_buttons.size(); ++i) {
        const QRect cell(
            QPoint(area.right() - (i + 1) * m_buttonSize, area.top()),
            QPoint(area.right() - i * m_buttonSize - 1, area.top() + m_buttonSize + 2));
        const bool hovered = i == m_hoveredButton;
        painter.fillRect(cell, QColor(48, 48, 48, hovered ? 200 : 150));
        painter.drawImage(cell.topLeft(), *cachedImage(m_buttons.at(i).iconPath));
        if (!hovered)
            painter.fillRect(cell, QColor(48, 48, 48, 50));
    }
}

void VIVExcelWatchView::paintFrame(QPainter &painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QRect frame = contentsRect().adjusted(1, 1, -2, -2);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(frame.translated(1, 1));
    painter.restore();
}

void VIVExcelWatchView::dataBeforePaint3D(QPainter &) {}

void VIVExcelWatchView::dataAfterPaint3D(QPainter &) {}

void VIVExcelWatchView::data3DAxesNeeded(QPainter &painter)
{
    if (m_areaFlags & AreaScale)
        paintScale(painter);
    if (m_areaFlags & AreaAxis)
        paintAxis(painter);
}

void VIVExcelWatchView::data3DYAxisNeeded(QPainter &) {}

// ---- mouse, wheel and hover -----------------------------------------------------------------

void VIVExcelWatchView::hideButtons()
{
    setHoveredButton(-1);
    setButtonsVisible(false);
}

int VIVExcelWatchView::dragModeFor(QMouseEvent *event) const
{
    if (event->button() == Qt::RightButton)
        return 2;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool control = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    if (event->button() != Qt::LeftButton || !(shift || control || alt) ||
        !areaRect(WatchAreaGraph).contains(event->position().toPoint()))
        return 0;
    if (shift && alt)
        return 5;
    if (control && alt)
        return 1;
    if (shift)
        return 4;
    if (alt)
        return 3;
    return 2;
}

int VIVExcelWatchView::buttonIndexAt(int right, double x) const
{
    return (right - int(std::floor(x))) / m_buttonSize;
}

bool VIVExcelWatchView::pressOnButtons(QMouseEvent *event)
{
    // Without the button row nothing there can be clicked, even when asked to show buttons.
    if (!(m_areaFlags & AreaButtons) || m_buttons.isEmpty() || event->button() != Qt::LeftButton)
        return false;
    const QRect area = areaRect(WatchAreaButtons);
    const QPointF position = event->position();
    if (!area.contains(position.toPoint()))
        return false;
    if (!m_buttonsVisible) {
        if (position.x() > area.left() + indicatorStripWidth - 1)
            return false;
        setButtonsVisible(true);
        return true;
    }
    const int index = buttonIndexAt(area.right(), position.x());
    if (index >= 0 && index < m_buttons.size()) {
        const QString name = m_buttons.at(index).name;
        hideButtons();
        emit buttonClicked(name);
    }
    return true;
}

void VIVExcelWatchView::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event);
    m_dragMode = 0;
    const QPointF position = event->position();
    if (is3DProper()) {
        m_dragMode = dragModeFor(event);
        if (m_dragMode != 0) {
            m_perspectiveAtPress = m_data->perspectiveSettings();
            m_drawSettingsAtPress = m_data->drawSettings3DCube();
            m_pressPos = position;
        }
    }
    if (pressOnButtons(event))
        return;
    if (event->button() != Qt::LeftButton)
        return;
    if (areaRect(WatchAreaGraph).contains(position.toPoint())) {
        if (!is3DProper()) {
            splitPointFromPosition(position);
        } else {
            m_pressPos = position;
            m_splitAtPress = m_splitPoint;
        }
    }
    if (contentsRect().contains(position.toPoint())) {
        if (position.y() < m_textHeight)
            emit textClicked();
        else
            emit graphClicked();
    }
}

void VIVExcelWatchView::splitPointFromPosition(QPointF position)
{
    if (!(m_areaFlags & AreaSplit))
        return;
    const QRect graph = areaRect(WatchAreaGraph);
    if (graph.height() <= 0 || graph.width() <= 0)
        return;
    const double width = graph.width();
    const double height = graph.height();
    QPointF point = m_splitPoint;
    if (m_areaFlags & AreaSplitVertical)
        point.setX(std::clamp(position.x() - graph.left(), 0.0, width) / width);
    if (m_areaFlags & AreaSplitHorizontal)
        point.setY(std::clamp(graph.bottom() - position.y(), 0.0, height) / height);
    setSplitPoint(point);
}

void VIVExcelWatchView::dragSplitPoint3D(double dx, double dy, double width, double height)
{
    const double zoom = m_data->perspectiveSettings().zoom;
    const double x = std::clamp(m_splitAtPress.x() + dx / width / zoom * 2.0, 0.0, 1.0);
    const double y = std::clamp(m_splitAtPress.y() - dy / height / zoom * 2.0, 0.0, 1.0);
    setSplitPoint(QPointF(x, y));
}

void VIVExcelWatchView::dragPerspective(QPointF delta, double width, double height)
{
    const PerspectiveSettings &atPress = m_perspectiveAtPress;
    PerspectiveSettings perspective = m_data->perspectiveSettings();
    switch (m_dragMode) {
    case 1:
        perspective.pan.setZ(float(atPress.pan.z() - delta.y() / width));
        break;
    case 2:
        // A drag across the whole graph turns it by 150 degrees.
        perspective.yaw = atPress.yaw + delta.x() / width * 150.0;
        perspective.pitch = atPress.pitch + delta.y() / height * 150.0;
        break;
    case 3:
        perspective.heightScale = atPress.heightScale - delta.y() / width;
        break;
    case 4:
        perspective.pan.setX(float(atPress.pan.x() - delta.x() / width));
        perspective.pan.setY(float(atPress.pan.y() + delta.y() / height));
        break;
    case 5: {
        DrawSettings3DCube settings = m_data->drawSettings3DCube();
        settings.secondaryOpacity = m_drawSettingsAtPress.secondaryOpacity - delta.y() / 100.0;
        m_data->setDrawSettings3DCube(settings);
        return;
    }
    default:
        return;
    }
    m_data->setPerspectiveSettings(perspective);
}

void VIVExcelWatchView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF position = event->position();
    if (event->buttons() & (Qt::LeftButton | Qt::RightButton)) {
        const QRect graph = areaRect(WatchAreaGraph);
        if (graph.width() <= 0 || graph.height() <= 0)
            return;
        const QPointF delta = position - m_pressPos;
        if (m_dragMode != 0) {
            dragPerspective(delta, graph.width(), graph.height());
        } else if (event->buttons() & Qt::LeftButton) {
            if (is3DProper())
                dragSplitPoint3D(delta.x(), delta.y(), graph.width(), graph.height());
            else
                splitPointFromPosition(position);
        }
        return;
    }
    hover(position);
}

void VIVExcelWatchView::hover(QPointF position)
{
    if (m_buttonsVisible && (m_areaFlags & AreaButtons)) {
        const QRect area = areaRect(WatchAreaButtons).adjusted(0, 0, hoverSlack, hoverSlack);
        if (area.contains(position.toPoint())) {
            setHoveredButton(buttonIndexAt(area.right(), position.x()));
            m_hideButtonsTimer.stop();
        } else {
            setHoveredButton(-1);
            m_hideButtonsTimer.start();
        }
    }
    if (m_hoveredButton >= 0)
        return;
    const bool over = QRect(0, 0, indicatorCorner, indicatorCorner).contains(position.toPoint());
    if (over != m_mouseOverIndicator) {
        m_mouseOverIndicator = over;
        update(false);
    }
}

void VIVExcelWatchView::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event);
    m_dragMode = 0;
}

void VIVExcelWatchView::mouseDoubleClickEvent(QMouseEvent *)
{
    if (m_data->graphDepth() >= 4)
        m_data->setPerspectiveSettings(PerspectiveSettings());
}

void VIVExcelWatchView::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (m_buttonsVisible)
        m_hideButtonsTimer.start();
    if (m_mouseOverIndicator) {
        m_mouseOverIndicator = false;
        update(false);
    }
}

void VIVExcelWatchView::wheelEvent(QWheelEvent *event)
{
    emit mouseWheelEvent(event);
    const QRect graph = areaRect(WatchAreaGraph);
    if (m_data->graphDepth() < 4 || !(event->modifiers() & Qt::AltModifier) || graph.width() <= 0 ||
        graph.height() <= 0) {
        event->ignore();
        return;
    }
    // Some platforms turn an Alt + wheel turn into a horizontal one.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    PerspectiveSettings perspective = m_data->perspectiveSettings();
    const double oldZoom = perspective.zoom;
    perspective.zoom = delta >= 1 ? oldZoom * 1.2 : oldZoom / 1.2;
    const QPointF position = event->position();
    const double u = 0.5 - (position.x() - graph.left()) / graph.width();
    const double v = (position.y() - graph.top()) / graph.height() - 0.5;
    m_data->setPerspectiveSettings(perspective);
    perspective = m_data->perspectiveSettings();
    if (perspective.zoom != oldZoom) {
        emit mouseZoomChanging();
        // Keep the point under the pointer where it is.
        const double ratio = perspective.zoom / oldZoom;
        perspective.pan.setX(float(u + ratio * (perspective.pan.x() - u)));
        perspective.pan.setY(float(v + ratio * (perspective.pan.y() - v)));
        m_data->setPerspectiveSettings(perspective);
    }
    event->accept();
}
