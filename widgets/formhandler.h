#ifndef FORMHANDLER_H
#define FORMHANDLER_H

#include <QObject>
#include <QPoint>

class QMouseEvent;
class QPainter;
class QWidget;

namespace Backgrounds {

// Gives frameless top-level windows the program's own chrome: a steel background with a
// rounded border and window shape, a title, up to three image buttons, moving by the title
// strip and resizing by the edges and corners. One handler serves any number of windows as
// their event filter; everything it knows about a window lives in that window's dynamic
// properties ("windowtitle", "closebutton", "closebuttonname", "closebuttonstate", ...).
class FormHandler : public QObject
{
    Q_OBJECT

public:
    // Hit areas are bits, so an edge test is area & AnyEdge and a corner is two edges.
    enum Area : int {
        Outside = 0,
        LeftEdge = 1,
        TopEdge = 2,
        RightEdge = 4,
        BottomEdge = 8,
        TopLeftCorner = LeftEdge | TopEdge,
        TopRightCorner = TopEdge | RightEdge,
        BottomRightCorner = RightEdge | BottomEdge,
        BottomLeftCorner = LeftEdge | BottomEdge,
        AnyEdge = 15,
        CloseButton = 16,
        MinimizeButton = 32,
        HelpButton = 64,
        TitleStrip = 128,
        ClientArea = 256
    };
    Q_ENUM(Area)

    enum ButtonState : int { Normal = 0, Pressed = 1, Hovered = 2 };
    Q_ENUM(ButtonState)

    explicit FormHandler(QObject *parent = nullptr);

    // Frameless window with mouse tracking, drawn and driven by this handler from now on.
    void manage(QWidget *window);

    static Area hitTest(const QWidget *window, const QPoint &pos);
    static Qt::CursorShape cursorFor(int area);
    // Lets a child show the managed window's steel through it.
    static void setTransparentBackground(QWidget *widget);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void mousePressed(QWidget *window, QMouseEvent *event);
    void mouseMoved(QWidget *window, QMouseEvent *event);
    void mouseReleased(QWidget *window, QMouseEvent *event);
    void mouseLeft(QWidget *window);
    void resizeDragged(QWidget *window, int area, const QPoint &pos);
    void buttonActivated(QWidget *window, int area);
    static void paintChrome(QWidget *window);
    static int paintButtons(QPainter &painter, QWidget *window);
    static void shapeWindow(QWidget *window);
    static void setCursor(QWidget *window, int area);
    static void setGrabbedArea(QWidget *window, int area);
    static void setButtonState(QWidget *window, const char *name, int state);

    QPoint pressPos;
};

} // namespace Backgrounds

#endif
