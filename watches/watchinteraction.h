#ifndef WATCHINTERACTION_H
#define WATCHINTERACTION_H

#include "graph/datasettings.h"

#include <QPointF>
#include <QString>
#include <QTimer>

#include <functional>

class QMouseEvent;
class QWheelEvent;
class VIVExcelWatchView;

// Turns the mouse on a watch view into what it means there: presses and hovers on the button
// row, clicks on the text or the graph, moves of the split point (flat graphs, and a plain drag
// on a cube) and changes of the cube's camera and opacity (drags with modifiers, the right
// button, Alt + wheel, double click).
class WatchInteraction
{
public:
    // The drag gestures on a cube; the values are what the view reports as its drag mode.
    enum class DragMode {
        None = 0,
        // Control + Alt: moves the camera towards or away from the cube.
        Depth = 1,
        // Control, or the right button: turns the cube.
        Turn = 2,
        // Alt: stretches the height.
        Height = 3,
        // Shift: pans.
        Pan = 4,
        // Shift + Alt: changes the secondary opacity.
        Opacity = 5
    };

    // What a press meant besides the gesture it may have started; the view reports it.
    struct Press
    {
        enum Target { Nothing, Button, Text, Graph };
        Target target = Nothing;
        // The name of the clicked button.
        QString button;
    };

    explicit WatchInteraction(VIVExcelWatchView &view);

    DragMode dragMode() const { return m_dragMode; }
    // The pointer is over the corner where the hidden buttons can be called up.
    bool mouseOverIndicator() const { return m_mouseOverIndicator; }

    Press press(const QMouseEvent &event);
    // Continues a gesture, or follows the pointer over the buttons when no button is held.
    void move(const QMouseEvent &event);
    void release() { m_dragMode = DragMode::None; }
    void leave();
    // Back to the default camera.
    void resetPerspective();
    // Alt + wheel on a cube zooms about the pointer, calling zoomChanging once the zoom has
    // changed; false when the wheel is not for the view.
    bool wheel(const QWheelEvent &event, const std::function<void()> &zoomChanging);

private:
    void beginDrag(const QMouseEvent &event);
    bool pressOnButtons(const QMouseEvent &event, Press &press);
    void pressOnGraph(QPointF position);
    bool drag(const QMouseEvent &event);
    void hover(QPointF position);
    void setMouseOverIndicator(bool over);
    int buttonIndexAt(int right, double x) const;
    DragMode dragModeFor(const QMouseEvent &event) const;
    void splitPointFromPosition(QPointF position);
    void dragSplitPoint3D(QPointF delta, double width, double height);
    void dragPerspective(QPointF delta, double width, double height);

    VIVExcelWatchView &m_view;
    PerspectiveSettings m_perspectiveAtPress;
    DrawSettings3DCube m_drawSettingsAtPress;
    QPointF m_pressPos{0.0, 0.0};
    QPointF m_splitAtPress{0.0, 0.0};
    DragMode m_dragMode = DragMode::None;
    bool m_mouseOverIndicator = false;
    // Hides the buttons a little after the pointer has left them.
    QTimer m_hideButtonsTimer;
};

#endif // WATCHINTERACTION_H
