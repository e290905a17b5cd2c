#include "watches/vivexcelwatchview.h"

#include "excel/vivexcelrange.h"
#include "graph/graphdepth.h"
#include "graph/minmaxmultidimdata.h"
#include "watches/crosssection.h"
#include "watches/graphranges.h"
#include "watches/watchaxes.h"
#include "watches/watchlogging.h"
#include "watches/watchpainter.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Split points closer than this are the same point: it ends the echo between a view and its
// sub watches, which hand every move back to each other.
constexpr double splitTolerance = 1e-12;

} // namespace

VIVExcelWatchView::VIVExcelWatchView(QWidget *parent) : QWidget(parent)
{
    setMinimumHeight(m_textHeight + 150);
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    setMouseTracking(true);
    m_areaFlags = WatchAreaFlag::Default;

    connect(&m_throttle, &RepaintThrottle::repaintDue, this, [this] { update(); });
    connect(&m_history, &FadedCurveHistory::expiryDue, this,
            &VIVExcelWatchView::removeOldestPreviousData);
    connect(&m_subWatches, &SubWatchPair::updateDue, this, &VIVExcelWatchView::updateSubWatches);

    createData();
    setSplitPoint(QPointF(0.5, 0.5));
    // The first update after construction must never be deferred.
    setMinRepaintInterval(0);
}

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

namespace {

// The name the dynamic property is kept under, written here only.
constexpr char inactiveProperty[] = "inactive";

} // namespace

void VIVExcelWatchView::setInactive(bool inactive)
{
    setProperty(inactiveProperty, inactive);
}

bool VIVExcelWatchView::isInactive() const
{
    return property(inactiveProperty).toBool();
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
    fitCubeImage();
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

void VIVExcelWatchView::setAreaFlags(WatchAreaFlags flags)
{
    flags &= AreaAll;
    if (flags == m_areaFlags)
        return;
    m_areaFlags = flags;
    fitCubeImage();
    update(false);
}

void VIVExcelWatchView::addAreaFlags(WatchAreaFlags flags)
{
    setAreaFlags(m_areaFlags | flags);
}

void VIVExcelWatchView::removeAreaFlags(WatchAreaFlags flags)
{
    setAreaFlags(m_areaFlags & ~flags);
}

void VIVExcelWatchView::setSubWatchMargin(int margin)
{
    if (margin == m_subWatches.margin())
        return;
    m_subWatches.setMargin(margin);
    m_subWatches.fitSizes(minimumSize());
    update(false);
}

VIVExcelWatchScale *VIVExcelWatchView::watchScale() const
{
    return m_scaleLink.scale();
}

void VIVExcelWatchView::setWatchScale(VIVExcelWatchScale *scale)
{
    if (scale != m_scaleLink.scale())
        m_scaleLink.setScale(scale, *this, *m_data);
}

void VIVExcelWatchView::setSubWatchX(VIVExcelWatchView *watch)
{
    if (m_subWatches.setX(watch, minimumSize()))
        updateSubWatches();
}

void VIVExcelWatchView::setSubWatchY(VIVExcelWatchView *watch)
{
    if (m_subWatches.setY(watch, minimumSize()))
        updateSubWatches();
}

void VIVExcelWatchView::createData()
{
    MinMaxMultiDimData *old = m_data;
    if (old)
        m_history.stack(old);
    m_data = new MinMaxMultiDimData(this);
    if (old)
        m_data->copySettingsFrom(*old);
    fitCubeImage();
    connectData();
    m_scaleLink.follow(*this, *m_data);
    emit dataCreated();
    update(false);
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
    connect(m_data, &Data::paint3DAxesNeeded, this, &View::data3DAxesNeeded);
    connect(m_data, &Data::updateNeeded, this, [this] { update(); });
    // Settings handed in from elsewhere keep this view's own image size.
    connect(m_data, &Data::drawSettings3DCubeChanged, this, &View::fitCubeImage);
}

void VIVExcelWatchView::removeOldestPreviousData()
{
    // Faded curves go even when no paint showed them, so a hidden view does not collect the
    // data of every scan.
    m_history.dropExpired(m_data->graphDepth() == GraphDepthCurve);
    update(false);
}

void VIVExcelWatchView::clearPreviousData()
{
    m_history.clear();
}

void VIVExcelWatchView::dataMinMaxChanged()
{
    m_history.shareRange(m_data->minimum(), m_data->maximum());
    m_subWatches.markDirty();
    update(false);
}

void VIVExcelWatchView::dataNaNReported() {}

void VIVExcelWatchView::updateWithSubgraphs()
{
    m_subWatches.markDirty();
    update(false);
}

void VIVExcelWatchView::setSplitPoint(QPointF point)
{
    if (!std::isfinite(point.x()) || !std::isfinite(point.y())) {
        qCDebug(lcWatch) << "Invalid split point" << point;
        return;
    }
    if (std::abs(point.x() - m_splitPoint.x()) <= splitTolerance &&
        std::abs(point.y() - m_splitPoint.y()) <= splitTolerance)
        return;
    m_splitPoint = point;
    const QPoint index = crossPointIndex(point);
    m_subWatches.setSplitPoint(point);
    // Marked before the highlight moves: on a cube that move is what asks for the repaint,
    // and the repaint request is what schedules the sub watches.
    m_subWatches.markDirty();
    updateCubeFillLimits(index);
    emit splitChanged(point);
    if (!is3DProper())
        update(false);
}

void VIVExcelWatchView::setInvertedSplitPoint(QPointF point)
{
    setSplitPoint(QPointF(point.y(), point.x()));
}

QPoint VIVExcelWatchView::crossPointIndex(QPointF point) const
{
    return CrossSection::indexAt(*m_data, point);
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
    m_subWatches.markClean();
    if (!CrossSection::canCut(*m_data))
        return;
    const QPoint index = crossPointIndex(m_splitPoint);
    m_subWatches.fill(*m_data, index);
    m_crossPointValue = CrossSection::valueAt(*m_data, index);
    emit crossPointValueChanged();
}

void VIVExcelWatchView::setCanUseFastDraw(bool on)
{
    if (on) {
        m_fastDrawing.allow(*m_data);
    } else {
        m_fastDrawing.release();
        update(false);
    }
    if (m_fastDrawing.count() < 2)
        emit canUseFastDrawChanged(on);
}

void VIVExcelWatchView::update(bool force)
{
    if (force) {
        m_throttle.cancelPending();
        adaptQuality();
        repaint();
    } else {
        if (!m_throttle.admit())
            return;
        adaptQuality();
        QWidget::update();
    }
    m_subWatches.scheduleIfDirty();
}

void VIVExcelWatchView::adaptQuality()
{
    if (is3DProper())
        m_fastDrawing.adapt(*m_data);
}

bool VIVExcelWatchView::is3DProper() const
{
    return m_data->graphDepth() >= GraphDepthSurface && !m_data->flat3D();
}

WatchLayout VIVExcelWatchView::layout() const
{
    WatchLayout layout;
    layout.contents = contentsRect();
    layout.flags = m_areaFlags;
    layout.textHeight = m_textHeight;
    layout.scaleWidth = m_scaleWidth;
    layout.axisHeight = m_axisHeight;
    layout.buttonSize = m_buttonSize;
    layout.buttonCount = int(m_buttons.size());
    layout.cube = is3DProper();
    return layout;
}

QRect VIVExcelWatchView::areaRect(WatchArea area) const
{
    return layout().rect(area);
}

// The cube's picture is made at the size of the graph it fills. The size follows the layout
// rather than the paint, so that painting never changes the data; it is set without signals, as
// watches of different sizes that share their settings would otherwise repaint each other.
void VIVExcelWatchView::fitCubeImage()
{
    WatchLayout cube = layout();
    cube.cube = true;
    DrawSettings3DCube settings = m_data->drawSettings3DCube();
    settings.imageSize = cube.rect(WatchAreaGraph).size();
    const QSignalBlocker blocker(m_data);
    m_data->setDrawSettings3DCube(settings);
}

void VIVExcelWatchView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A rolling trace spaced 2 px apart then just fills the graph. The latest value is kept
    // even when the graph has no room: the watch's number shows it.
    m_data->setHistoryLimit(std::max(1, areaRect(WatchAreaGraph).width() / 2));
    fitCubeImage();
    m_subWatches.fitSizes(minimumSize());
    emit sizeChanged();
}

GraphRange VIVExcelWatchView::valueScale() const
{
    return valueScaleRange(*m_data, m_text, areaRect(WatchAreaGraph).height());
}

GraphRange VIVExcelWatchView::parameterAxis() const
{
    return parameterAxisRange(*m_data);
}

void VIVExcelWatchView::paintEvent(QPaintEvent *event)
{
    m_throttle.paintStarted();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintGraph(painter, event->rect());
    WatchPainter(painter, layout()).paintSurroundings(surroundings(), event->rect());
    emit afterPaint(painter);
}

void VIVExcelWatchView::paintGraph(QPainter &painter, const QRect &exposed)
{
    const QRect graph = areaRect(WatchAreaGraph);
    if (!graph.intersects(exposed))
        return;
    painter.fillRect(graph, watchGraphBackground());
    const GraphDepth depth = m_data->graphDepth();
    if (depth == GraphDepthNone)
        return;
    const bool curve = depth == GraphDepthCurve;
    const QRect target = curve ? WatchLayout::curveBand(graph) : graph;
    if (curve)
        m_history.paint(painter, target);
    QElapsedTimer timer;
    timer.start();
    m_data->paint(painter, target);
    m_throttle.graphPainted(timer.elapsed());
    m_fastDrawing.painted();
    if ((m_areaFlags & AreaSplit) && !is3DProper())
        WatchPainter(painter, layout()).paintSplitLines(graph, m_splitPoint);
}

WatchSurroundings VIVExcelWatchView::surroundings() const
{
    return {m_text,
            valueScale(),
            parameterAxis(),
            m_buttons,
            m_hoveredButton,
            m_buttonsVisible,
            m_interaction.mouseOverIndicator()};
}

void VIVExcelWatchView::dataBeforePaint3D(QPainter &) {}

void VIVExcelWatchView::dataAfterPaint3D(QPainter &) {}

void VIVExcelWatchView::data3DAxesNeeded(QPainter &painter)
{
    WatchPainter(painter, layout()).paintScaleAndAxis(surroundings());
}

void VIVExcelWatchView::data3DYAxisNeeded(QPainter &) {}

void VIVExcelWatchView::hideButtons()
{
    setHoveredButton(-1);
    setButtonsVisible(false);
}

void VIVExcelWatchView::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event);
    using Press = WatchInteraction::Press;
    const Press press = m_interaction.press(*event);
    if (press.target == Press::Button)
        emit buttonClicked(press.button);
    else if (press.target == Press::Text)
        emit textClicked();
    else if (press.target == Press::Graph)
        emit graphClicked();
}

void VIVExcelWatchView::mouseMoveEvent(QMouseEvent *event)
{
    m_interaction.move(*event);
}

void VIVExcelWatchView::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event);
    m_interaction.release();
}

void VIVExcelWatchView::mouseDoubleClickEvent(QMouseEvent *)
{
    m_interaction.resetPerspective();
}

void VIVExcelWatchView::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_interaction.leave();
}

void VIVExcelWatchView::wheelEvent(QWheelEvent *event)
{
    emit mouseWheelEvent(event);
    event->setAccepted(m_interaction.wheel(*event, [this] { emit mouseZoomChanging(); }));
}
