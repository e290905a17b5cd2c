#include "widgets/formhandler.h"

#include "widgets/imagecache.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QWidget>

namespace Backgrounds {

namespace {

// Close and help wait a moment, so the button's hover image shows before the action.
constexpr int buttonActionDelay = 200;

struct ChromeButton
{
    FormHandler::Area area;
    const char *name;
    const char *defaultImage;
};

// Right to left, as they are laid out from the window's top right corner.
constexpr ChromeButton chromeButtons[] = {
    {FormHandler::CloseButton, "closebutton", ":resources/btn_close"},
    {FormHandler::MinimizeButton, "minimizebutton", ":resources/btn_minimize"},
    {FormHandler::HelpButton, "helpbutton", ":resources/btn_help"},
};

const ChromeButton *buttonFor(int area)
{
    for (const ChromeButton &button : chromeButtons) {
        if (button.area == area)
            return &button;
    }
    return nullptr;
}

QByteArray buttonProperty(const char *name, const char *suffix)
{
    return QByteArray(name) + suffix;
}

QString buttonImagePath(const QWidget *window, const ChromeButton &button)
{
    QString path = window->property(buttonProperty(button.name, "name").constData()).toString();
    if (path.isEmpty())
        path = QString::fromLatin1(button.defaultImage);
    switch (window->property(buttonProperty(button.name, "state").constData()).toInt()) {
    case FormHandler::Pressed:
        return path + "_down.png";
    case FormHandler::Hovered:
        return path + "_hover.png";
    default:
        return path + ".png";
    }
}

struct PlacedButton
{
    const ChromeButton *button;
    QRect rect;
    const QImage *image;
};

// The shown buttons and where they sit, right to left from the window's top right corner.
// Painting and hit testing both place them here, so a click finds its button also before the
// window's first paint.
QList<PlacedButton> placedButtons(const QWidget *window)
{
    QList<PlacedButton> placed;
    int limit = window->contentsRect().right() - 7;
    for (const ChromeButton &button : chromeButtons) {
        if (!window->property(button.name).toBool())
            continue;
        const QImage *image = cachedImage(buttonImagePath(window, button));
        const QRect rect(limit - image->width(), 20 - image->height() / 2, image->width(),
                         image->height());
        placed.append({&button, rect, image});
        limit = rect.left();
    }
    return placed;
}

QRect buttonRect(const QWidget *window, const char *name)
{
    for (const PlacedButton &placed : placedButtons(window)) {
        if (qstrcmp(placed.button->name, name) == 0)
            return placed.rect;
    }
    return QRect();
}

bool holdsMouseGrab(const QWidget *window)
{
    return QWidget::mouseGrabber() == window;
}

} // namespace

FormHandler::FormHandler(QObject *parent) : QObject(parent) {}

void FormHandler::manage(QWidget *window)
{
    window->installEventFilter(this);
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    window->setMouseTracking(true);
}

FormHandler::Area FormHandler::hitTest(const QWidget *window, const QPoint &pos)
{
    const QRect contents = window->contentsRect();
    if (!contents.contains(pos))
        return Outside;
    const int x = pos.x();
    const int y = pos.y();
    const int r = contents.right();
    const int b = contents.bottom();
    if (x <= 7 && y <= 7)
        return TopLeftCorner;
    if (x >= r - 8 && y <= 7)
        return TopRightCorner;
    if (x >= r - 8 && y >= b - 8)
        return BottomRightCorner;
    if (x <= 7 && y >= b - 8)
        return BottomLeftCorner;
    if (y >= b - 8)
        return BottomEdge;
    if (y < 9)
        return TopEdge;
    if (x < 9)
        return LeftEdge;
    if (x >= r - 8)
        return RightEdge;
    for (const PlacedButton &placed : placedButtons(window)) {
        if (placed.rect.contains(pos))
            return placed.button->area;
    }
    // The window icon sits left of the title strip and keeps its own clicks.
    if (y <= 24 && x > 20)
        return TitleStrip;
    return ClientArea;
}

Qt::CursorShape FormHandler::cursorFor(int area)
{
    switch (area) {
    case TopLeftCorner:
    case BottomRightCorner:
        return Qt::SizeFDiagCursor;
    case TopRightCorner:
    case BottomLeftCorner:
        return Qt::SizeBDiagCursor;
    case TopEdge:
    case BottomEdge:
        return Qt::SizeVerCursor;
    case LeftEdge:
    case RightEdge:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void FormHandler::setTransparentBackground(QWidget *widget)
{
    widget->setBackgroundRole(QPalette::Window);
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::transparent));
    widget->setPalette(palette);
}

bool FormHandler::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = qobject_cast<QWidget *>(watched);
    if (!window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        mousePressed(window, static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        mouseReleased(window, static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseMove:
        mouseMoved(window, static_cast<QMouseEvent *>(event));
        return false;
    case QEvent::Leave:
        mouseLeft(window);
        return false;
    case QEvent::Paint:
        paintChrome(window);
        return false;
    case QEvent::Resize:
        shapeWindow(window);
        return false;
    default:
        return false;
    }
}

void FormHandler::setCursor(QWidget *window, int area)
{
    const Qt::CursorShape shape = cursorFor(area);
    if (window->cursor().shape() == shape)
        return;
    window->setCursor(shape);
    // A window that holds the grab shows the grab's cursor until it grabs again.
    if (holdsMouseGrab(window))
        window->grabMouse();
}

void FormHandler::setGrabbedArea(QWidget *window, int area)
{
    if (window->property("grabbedarea").toInt() == area)
        return;
    // Edges, buttons and the title keep receiving the mouse while it leaves the window, so
    // a drag or a press does not get lost when the pointer overshoots.
    if (area != Outside && area != ClientArea) {
        if (!holdsMouseGrab(window))
            window->grabMouse();
    } else if (holdsMouseGrab(window)) {
        window->releaseMouse();
    }
    window->setProperty("grabbedarea", area);
    setCursor(window, area);
}

void FormHandler::setButtonState(QWidget *window, const char *name, int state)
{
    const QByteArray stateProperty = buttonProperty(name, "state");
    if (window->property(stateProperty.constData()).toInt() == state)
        return;
    window->setProperty(stateProperty.constData(), state);
    window->update(buttonRect(window, name));
}

void FormHandler::mousePressed(QWidget *window, QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const Area area = hitTest(window, pos);
    if (event->button() == Qt::LeftButton) {
        setGrabbedArea(window, area);
        if (area & AnyEdge)
            window->setProperty("movingform", true);
    }
    if (const ChromeButton *button = buttonFor(area)) {
        setButtonState(window, button->name, Pressed);
    } else if (area == TitleStrip) {
        pressPos = pos;
        window->setProperty("movingform", true);
    }
}

void FormHandler::mouseMoved(QWidget *window, QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const bool leftHeld = event->buttons() & Qt::LeftButton;
    if (!leftHeld)
        setGrabbedArea(window, hitTest(window, pos));
    const int grabbed = window->property("grabbedarea").toInt();
    for (const ChromeButton &button : chromeButtons) {
        const int state = button.area != grabbed ? Normal : leftHeld ? Pressed : Hovered;
        setButtonState(window, button.name, state);
    }
    if (!leftHeld)
        return;
    resizeDragged(window, grabbed, pos);
    if (grabbed == TitleStrip)
        window->move(window->pos() + (pos - pressPos));
}

// Resizes from the dragged edges. The left and top edges are held back at the minimum and
// maximum sizes here, because the window itself would keep its top left corner and move the
// opposite edge instead.
void FormHandler::resizeDragged(QWidget *window, int area, const QPoint &pos)
{
    QRect g = window->geometry();
    if (area & LeftEdge) {
        g.setLeft(g.left() + pos.x());
        if (window->minimumWidth() > 0 && g.width() < window->minimumWidth())
            g.setLeft(g.right() - window->minimumWidth() + 1);
        if (window->maximumWidth() > 0 && g.width() > window->maximumWidth())
            g.setLeft(g.right() - window->maximumWidth() + 1);
    }
    if (area & TopEdge) {
        g.setTop(g.top() + pos.y());
        if (window->minimumHeight() > 0 && g.height() < window->minimumHeight())
            g.setTop(g.bottom() - window->minimumHeight() + 1);
        if (window->maximumHeight() > 0 && g.height() > window->maximumHeight())
            g.setTop(g.bottom() - window->maximumHeight() + 1);
    }
    if (area & RightEdge)
        g.setRight(g.left() + pos.x());
    if (area & BottomEdge)
        g.setBottom(g.top() + pos.y());
    window->setGeometry(g);
}

void FormHandler::mouseReleased(QWidget *window, QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int area = hitTest(window, pos);
    const int grabbed = window->property("grabbedarea").toInt();
    if (const ChromeButton *button = buttonFor(grabbed)) {
        const bool overButton = area == grabbed;
        setButtonState(window, button->name, overButton ? Hovered : Normal);
        if (overButton) {
            if (holdsMouseGrab(window))
                window->releaseMouse();
            buttonActivated(window, grabbed);
        }
    }
    setCursor(window, area);
    window->setProperty("movingform", false);
}

void FormHandler::buttonActivated(QWidget *window, int area)
{
    switch (area) {
    case CloseButton:
        QTimer::singleShot(buttonActionDelay, window, &QWidget::close);
        break;
    case MinimizeButton:
        window->setWindowState(window->windowState() | Qt::WindowMinimized);
        break;
    case HelpButton:
        // The window that shows a help button provides the slot; widgets know no window kind.
        QTimer::singleShot(buttonActionDelay, window,
                           [window] { QMetaObject::invokeMethod(window, "showHelp"); });
        break;
    default:
        break;
    }
}

void FormHandler::mouseLeft(QWidget *window)
{
    if (window->property("movingform").toBool())
        return;
    // The handler only ever sets the window's own cursor; the application's override cursor
    // (a long task's wait cursor) belongs to others.
    setGrabbedArea(window, Outside);
    for (const ChromeButton &button : chromeButtons)
        setButtonState(window, button.name, Normal);
    if (holdsMouseGrab(window))
        window->releaseMouse();
}

// Paints under the window's own content: the window's paint event follows this one.
void FormHandler::paintChrome(QWidget *window)
{
    QPainter painter(window);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect contents = window->contentsRect();

    const QImage &steel = *cachedImage(":resources/stainless-steel.jpg");
    if (!steel.isNull()) {
        const int columns = contents.width() / steel.width() + 1;
        const int rows = contents.height() / steel.height() + 1;
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column)
                painter.drawImage(column * steel.width(), row * steel.height(), steel);
        }
    }

    const QRect border(QPoint(contents.left() + 4, contents.top() + 4),
                       QPoint(contents.right() - 5, contents.bottom() - 4));
    painter.setPen(QColor(0, 0, 0));
    painter.drawRoundedRect(border, 3.0, 3.0);
    painter.setPen(QColor(255, 255, 255, 128));
    painter.drawRoundedRect(border.translated(1, 1), 3.0, 3.0);

    painter.setPen(Qt::white);
    painter.drawText(QPointF(14.0, 20.0), window->property("windowtitle").toString());

    const int limit = paintButtons(painter, window);
    painter.setPen(Qt::white);
    painter.drawLine(QPoint(contents.left() + 10, 25), QPoint(limit - 4, 25));
    painter.setPen(QColor(0, 0, 0, 140));
    painter.drawLine(QPoint(contents.left() + 10, 24), QPoint(limit - 4, 24));
}

// Draws the shown buttons from the right and returns the left edge of the leftmost one.
int FormHandler::paintButtons(QPainter &painter, QWidget *window)
{
    int limit = window->contentsRect().right() - 7;
    for (const PlacedButton &placed : placedButtons(window)) {
        painter.drawImage(placed.rect, *placed.image);
        // Where the button was last drawn, for whoever asks the window.
        window->setProperty(buttonProperty(placed.button->name, "rect").constData(), placed.rect);
        limit = placed.rect.left();
    }
    return limit;
}

// Cuts all four corners round; this works with and without a compositing manager.
void FormHandler::shapeWindow(QWidget *window)
{
    QBitmap mask(window->size());
    mask.clear();
    QPainter painter(&mask);
    QPainterPath path;
    path.addRoundedRect(QRectF(1.0, -1.0, window->width() - 2, window->height() + 1), 6.0, 6.0);
    painter.setClipRegion(QRegion(path.toFillPolygon().toPolygon()));
    painter.fillRect(mask.rect(), Qt::color1);
    painter.end();
    window->setMask(mask);
}

} // namespace Backgrounds
