#include "watches/watchinteraction.h"

#include "graph/graphdepth.h"
#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A drag across the whole graph turns the cube by this many degrees.
constexpr double turnPerGraphDegrees = 150.0;
// One wheel notch zooms by this factor.
constexpr double zoomStep = 1.2;
// A vertical drag of this many pixels changes the secondary opacity by 1.
constexpr double opacityDragPixels = 100.0;
// Size of the top-left corner over which the button indicator appears.
constexpr int indicatorCorner = 30;
// A press this close to the left end of the hidden button row shows the buttons.
constexpr int indicatorStripWidth = 16;
// Hovering reaches this far beyond the button row, to the right and below.
constexpr int hoverSlack = 8;
constexpr int hideButtonsDelayMs = 200;

} // namespace

WatchInteraction::WatchInteraction(VIVExcelWatchView &view) : m_view(view)
{
    m_hideButtonsTimer.setSingleShot(true);
    m_hideButtonsTimer.setInterval(hideButtonsDelayMs);
    QObject::connect(&m_hideButtonsTimer, &QTimer::timeout, &view, &VIVExcelWatchView::hideButtons);
}

WatchInteraction::Press WatchInteraction::press(const QMouseEvent &event)
{
    Press press;
    beginDrag(event);
    if (pressOnButtons(event, press) || event.button() != Qt::LeftButton)
        return press;
    const QPointF position = event.position();
    pressOnGraph(position);
    if (m_view.contentsRect().contains(position.toPoint()))
        press.target = position.y() < m_view.textHeight() ? Press::Text : Press::Graph;
    return press;
}

bool WatchInteraction::pressOnButtons(const QMouseEvent &event, Press &press)
{
    // Without the button row nothing there can be clicked, even when asked to show buttons.
    const QList<WatchButton> &buttons = m_view.buttons();
    if (!(m_view.areaFlags() & WatchAreaFlag::Buttons) || buttons.isEmpty() ||
        event.button() != Qt::LeftButton)
        return false;
    const QRect area = m_view.areaRect(WatchAreaButtons);
    const QPointF position = event.position();
    if (!area.contains(position.toPoint()))
        return false;
    if (!m_view.buttonsVisible()) {
        if (position.x() > area.left() + indicatorStripWidth - 1)
            return false;
        m_view.setButtonsVisible(true);
        return true;
    }
    const int index = buttonIndexAt(area.right(), position.x());
    if (index >= 0 && index < buttons.size()) {
        press.target = Press::Button;
        press.button = buttons.at(index).name;
        m_view.hideButtons();
    }
    return true;
}

int WatchInteraction::buttonIndexAt(int right, double x) const
{
    return (right - int(std::floor(x))) / m_view.buttonSize();
}

void WatchInteraction::move(const QMouseEvent &event)
{
    if (!drag(event))
        hover(event.position());
}

void WatchInteraction::hover(QPointF position)
{
    if (m_view.buttonsVisible() && (m_view.areaFlags() & WatchAreaFlag::Buttons)) {
        const QRect area = m_view.areaRect(WatchAreaButtons).adjusted(0, 0, hoverSlack, hoverSlack);
        if (area.contains(position.toPoint())) {
            m_view.setHoveredButton(buttonIndexAt(area.right(), position.x()));
            m_hideButtonsTimer.stop();
        } else {
            m_view.setHoveredButton(-1);
            m_hideButtonsTimer.start();
        }
    }
    if (m_view.hoveredButton() < 0)
        setMouseOverIndicator(
            QRect(0, 0, indicatorCorner, indicatorCorner).contains(position.toPoint()));
}

void WatchInteraction::setMouseOverIndicator(bool over)
{
    if (over == m_mouseOverIndicator)
        return;
    m_mouseOverIndicator = over;
    m_view.update(false);
}

void WatchInteraction::leave()
{
    if (m_view.buttonsVisible())
        m_hideButtonsTimer.start();
    setMouseOverIndicator(false);
}

void WatchInteraction::beginDrag(const QMouseEvent &event)
{
    m_dragMode = m_view.is3DProper() ? dragModeFor(event) : DragMode::None;
    if (m_dragMode == DragMode::None)
        return;
    m_perspectiveAtPress = m_view.data()->perspectiveSettings();
    m_drawSettingsAtPress = m_view.data()->drawSettings3DCube();
    m_pressPos = event.position();
}

WatchInteraction::DragMode WatchInteraction::dragModeFor(const QMouseEvent &event) const
{
    if (event.button() == Qt::RightButton)
        return DragMode::Turn;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool control = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    if (event.button() != Qt::LeftButton || !(shift || control || alt) ||
        !m_view.areaRect(WatchAreaGraph).contains(event.position().toPoint()))
        return DragMode::None;
    if (shift && alt)
        return DragMode::Opacity;
    if (control && alt)
        return DragMode::Depth;
    if (shift)
        return DragMode::Pan;
    if (alt)
        return DragMode::Height;
    return DragMode::Turn;
}

void WatchInteraction::pressOnGraph(QPointF position)
{
    if (!m_view.areaRect(WatchAreaGraph).contains(position.toPoint()))
        return;
    if (!m_view.is3DProper()) {
        splitPointFromPosition(position);
        return;
    }
    m_pressPos = position;
    m_splitAtPress = m_view.splitPoint();
}

bool WatchInteraction::drag(const QMouseEvent &event)
{
    if (!(event.buttons() & (Qt::LeftButton | Qt::RightButton)))
        return false;
    const QRect graph = m_view.areaRect(WatchAreaGraph);
    if (graph.width() <= 0 || graph.height() <= 0)
        return true;
    const QPointF position = event.position();
    const QPointF delta = position - m_pressPos;
    if (m_dragMode != DragMode::None) {
        dragPerspective(delta, graph.width(), graph.height());
    } else if (event.buttons() & Qt::LeftButton) {
        if (m_view.is3DProper())
            dragSplitPoint3D(delta, graph.width(), graph.height());
        else
            splitPointFromPosition(position);
    }
    return true;
}

void WatchInteraction::splitPointFromPosition(QPointF position)
{
    const WatchAreaFlags flags = m_view.areaFlags();
    if (!(flags & WatchAreaFlag::Split))
        return;
    const QRect graph = m_view.areaRect(WatchAreaGraph);
    if (graph.height() <= 0 || graph.width() <= 0)
        return;
    const double width = graph.width();
    const double height = graph.height();
    QPointF point = m_view.splitPoint();
    if (flags & WatchAreaFlag::SplitVertical)
        point.setX(std::clamp(position.x() - graph.left(), 0.0, width) / width);
    if (flags & WatchAreaFlag::SplitHorizontal)
        point.setY(std::clamp(graph.bottom() - position.y(), 0.0, height) / height);
    m_view.setSplitPoint(point);
}

void WatchInteraction::dragSplitPoint3D(QPointF delta, double width, double height)
{
    const double zoom = m_view.data()->perspectiveSettings().zoom;
    const double x = std::clamp(m_splitAtPress.x() + delta.x() / width / zoom * 2.0, 0.0, 1.0);
    const double y = std::clamp(m_splitAtPress.y() - delta.y() / height / zoom * 2.0, 0.0, 1.0);
    m_view.setSplitPoint(QPointF(x, y));
}

void WatchInteraction::dragPerspective(QPointF delta, double width, double height)
{
    MinMaxMultiDimData &data = *m_view.data();
    const PerspectiveSettings &atPress = m_perspectiveAtPress;
    PerspectiveSettings perspective = data.perspectiveSettings();
    switch (m_dragMode) {
    case DragMode::Depth:
        perspective.pan.setZ(float(atPress.pan.z() - delta.y() / width));
        break;
    case DragMode::Turn:
        perspective.yaw = atPress.yaw + delta.x() / width * turnPerGraphDegrees;
        perspective.pitch = atPress.pitch + delta.y() / height * turnPerGraphDegrees;
        break;
    case DragMode::Height:
        perspective.heightScale = atPress.heightScale - delta.y() / width;
        break;
    case DragMode::Pan:
        perspective.pan.setX(float(atPress.pan.x() - delta.x() / width));
        perspective.pan.setY(float(atPress.pan.y() + delta.y() / height));
        break;
    case DragMode::Opacity: {
        DrawSettings3DCube settings = data.drawSettings3DCube();
        settings.secondaryOpacity =
            m_drawSettingsAtPress.secondaryOpacity - delta.y() / opacityDragPixels;
        data.setDrawSettings3DCube(settings);
        return;
    }
    case DragMode::None:
        return;
    }
    data.setPerspectiveSettings(perspective);
}

void WatchInteraction::resetPerspective()
{
    MinMaxMultiDimData &data = *m_view.data();
    if (data.graphDepth() >= GraphDepthSurface)
        data.setPerspectiveSettings(PerspectiveSettings());
}

bool WatchInteraction::wheel(const QWheelEvent &event, const std::function<void()> &zoomChanging)
{
    MinMaxMultiDimData &data = *m_view.data();
    const QRect graph = m_view.areaRect(WatchAreaGraph);
    if (data.graphDepth() < GraphDepthSurface || !(event.modifiers() & Qt::AltModifier) ||
        graph.width() <= 0 || graph.height() <= 0)
        return false;
    // Some platforms turn an Alt + wheel turn into a horizontal one.
    const QPoint angle = event.angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    PerspectiveSettings perspective = data.perspectiveSettings();
    const double oldZoom = perspective.zoom;
    perspective.zoom = delta >= 1 ? oldZoom * zoomStep : oldZoom / zoomStep;
    const QPointF position = event.position();
    const double u = 0.5 - (position.x() - graph.left()) / graph.width();
    const double v = (position.y() - graph.top()) / graph.height() - 0.5;
    data.setPerspectiveSettings(perspective);
    perspective = data.perspectiveSettings();
    if (perspective.zoom != oldZoom) {
        zoomChanging();
        // Keep the point under the pointer where it is.
        const double ratio = perspective.zoom / oldZoom;
        perspective.pan.setX(float(u + ratio * (perspective.pan.x() - u)));
        perspective.pan.setY(float(v + ratio * (perspective.pan.y() - v)));
        data.setPerspectiveSettings(perspective);
    }
    return true;
}
