#include "widgets/formhandler.h"
#include "widgets/splashscreen.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using Backgrounds::FormHandler;

namespace {

// Sends a mouse event straight to the window, as the window system delivers it to the
// window that holds the grab.
void sendMouse(QWidget *window, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), window->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

void press(QWidget *window, const QPoint &pos)
{
    sendMouse(window, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
}

void drag(QWidget *window, const QPoint &pos)
{
    sendMouse(window, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
}

void release(QWidget *window, const QPoint &pos)
{
    sendMouse(window, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

QPoint buttonCentre(const QWidget *window, const char *name)
{
    return window->property((QByteArray(name) + "rect").constData()).toRect().center();
}

} // namespace

class TestChrome : public QObject
{
    Q_OBJECT

private slots:
    void hitTestAreas_data();
    void hitTestAreas();
    void buttonsHitWhereDrawn();
    void pressReleasedOutsideButtonTriggersNothing();
    void closeClickClosesLater();
    void leftEdgeDragStopsAtMinimumWidth();
    void titleDragMovesWindow();
    void cornersAreCutRound();
    void splashDeletesItselfAfterFirstPaint();
    void leavingKeepsTheApplicationsCursor();

private:
    // A 300 x 200 window at (100, 100) with all three buttons, painted once so that the
    // handler knows where the buttons are.
    std::unique_ptr<QWidget> managedWindow(FormHandler &handler);
};

std::unique_ptr<QWidget> TestChrome::managedWindow(FormHandler &handler)
{
    auto window = std::make_unique<QWidget>();
    handler.manage(window.get());
    for (const char *button : {"closebutton", "minimizebutton", "helpbutton"})
        window->setProperty(button, true);
    window->setGeometry(100, 100, 300, 200);
    window->grab();
    return window;
}

void TestChrome::hitTestAreas_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("area");
    // Contents right 299, bottom 199: the right and bottom zones start at 291.
    QTest::newRow("top left corner") << QPoint(7, 7) << int(FormHandler::TopLeftCorner);
    QTest::newRow("top right corner") << QPoint(291, 0) << int(FormHandler::TopRightCorner);
    QTest::newRow("bottom right corner") << QPoint(299, 199) << int(FormHandler::BottomRightCorner);
    QTest::newRow("bottom left corner") << QPoint(0, 191) << int(FormHandler::BottomLeftCorner);
    QTest::newRow("top edge below corner height") << QPoint(8, 8) << int(FormHandler::TopEdge);
    QTest::newRow("left edge") << QPoint(8, 100) << int(FormHandler::LeftEdge);
    QTest::newRow("right edge") << QPoint(291, 100) << int(FormHandler::RightEdge);
    QTest::newRow("bottom edge") << QPoint(150, 191) << int(FormHandler::BottomEdge);
    QTest::newRow("title strip") << QPoint(21, 24) << int(FormHandler::TitleStrip);
    QTest::newRow("left of the title strip") << QPoint(20, 20) << int(FormHandler::ClientArea);
    QTest::newRow("below the title strip") << QPoint(100, 25) << int(FormHandler::ClientArea);
    QTest::newRow("inside the edges") << QPoint(9, 100) << int(FormHandler::ClientArea);
    QTest::newRow("beyond the right") << QPoint(300, 100) << int(FormHandler::Outside);
    QTest::newRow("above the top") << QPoint(100, -1) << int(FormHandler::Outside);
}

void TestChrome::hitTestAreas()
{
    QFETCH(QPoint, pos);
    QFETCH(int, area);
    FormHandler handler;
    const auto window = managedWindow(handler);
    QCOMPARE(int(FormHandler::hitTest(window.get(), pos)), area);
}

// Also before the window's first paint: a click that comes first still finds its button.
void TestChrome::buttonsHitWhereDrawn()
{
    FormHandler handler;
    const auto window = managedWindow(handler);
    QWidget unpainted;
    handler.manage(&unpainted);
    for (const char *button : {"closebutton", "minimizebutton", "helpbutton"})
        unpainted.setProperty(button, true);
    unpainted.setGeometry(window->geometry());
    for (const auto &[name, area] : {std::pair("closebutton", FormHandler::CloseButton),
                                     std::pair("minimizebutton", FormHandler::MinimizeButton),
                                     std::pair("helpbutton", FormHandler::HelpButton)}) {
        QCOMPARE(FormHandler::hitTest(window.get(), buttonCentre(window.get(), name)), area);
        QCOMPARE(FormHandler::hitTest(&unpainted, buttonCentre(window.get(), name)), area);
    }

    // A button without an image is never drawn with a size, so it cannot be hit.
    QWidget imageless;
    handler.manage(&imageless);
    imageless.setProperty("closebutton", true);
    imageless.setProperty("closebuttonname", "no-such-image");
    imageless.resize(300, 200);
    imageless.grab();
    QVERIFY(imageless.property("closebuttonrect").toRect().isEmpty());
    QCOMPARE(int(FormHandler::hitTest(&imageless, QPoint(286, 20))), int(FormHandler::TitleStrip));
}

void TestChrome::pressReleasedOutsideButtonTriggersNothing()
{
    FormHandler handler;
    auto *window = managedWindow(handler).release();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QSignalSpy destroyed(window, &QObject::destroyed);
    const QPoint close = buttonCentre(window, "closebutton");
    press(window, close);
    QCOMPARE(window->property("closebuttonstate").toInt(), int(FormHandler::Pressed));
    // Dragged off the button the press stays with it until the release.
    drag(window, QPoint(150, 100));
    QCOMPARE(window->property("closebuttonstate").toInt(), int(FormHandler::Pressed));
    release(window, QPoint(150, 100));
    QCOMPARE(window->property("closebuttonstate").toInt(), int(FormHandler::Normal));
    QVERIFY(!destroyed.wait(400));
    QVERIFY(window->isVisible());
    delete window;
}

void TestChrome::closeClickClosesLater()
{
    FormHandler handler;
    auto *window = managedWindow(handler).release();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QSignalSpy destroyed(window, &QObject::destroyed);
    const QPoint close = buttonCentre(window, "closebutton");
    press(window, close);
    QElapsedTimer sinceRelease;
    release(window, close);
    sinceRelease.start();
    // The hover image shows until the window goes.
    QCOMPARE(window->property("closebuttonstate").toInt(), int(FormHandler::Hovered));
    QVERIFY(window->isVisible());
    QVERIFY(destroyed.wait(2000));
    QVERIFY(sinceRelease.elapsed() >= 195);
}

void TestChrome::leftEdgeDragStopsAtMinimumWidth()
{
    FormHandler handler;
    const auto window = managedWindow(handler);
    window->setMinimumWidth(250);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    press(window.get(), QPoint(2, 100));
    QVERIFY(window->property("movingform").toBool());
    drag(window.get(), QPoint(20, 100));
    QCOMPARE(window->geometry(), QRect(QPoint(120, 100), QPoint(399, 299)));
    // Further right the left edge stops where the width reaches the minimum; the right edge
    // never moves.
    drag(window.get(), QPoint(80, 100));
    QCOMPARE(window->geometry(), QRect(QPoint(150, 100), QPoint(399, 299)));
    release(window.get(), QPoint(80, 100));
    QVERIFY(!window->property("movingform").toBool());
}

void TestChrome::titleDragMovesWindow()
{
    FormHandler handler;
    const auto window = managedWindow(handler);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QPoint before = window->pos();
    press(window.get(), QPoint(50, 15));
    drag(window.get(), QPoint(70, 45));
    release(window.get(), QPoint(70, 45));
    QCOMPARE(window->pos(), before + QPoint(20, 30));
    QCOMPARE(window->size(), QSize(300, 200));
}

void TestChrome::cornersAreCutRound()
{
    FormHandler handler;
    const auto window = managedWindow(handler);
    const QRegion shape = window->mask();
    for (const QPoint &corner : {QPoint(1, 0), QPoint(298, 0), QPoint(298, 199), QPoint(1, 199)})
        QVERIFY2(!shape.contains(corner),
                 qPrintable(QString("%1,%2").arg(corner.x()).arg(corner.y())));
    QVERIFY(shape.contains(QPoint(150, 0)));
    QVERIFY(shape.contains(QPoint(1, 100)));
    QVERIFY(shape.contains(QPoint(150, 199)));
}

void TestChrome::splashDeletesItselfAfterFirstPaint()
{
    QPointer<SplashScreen> splash = new SplashScreen(nullptr);
    QVERIFY(!splash->pixmap().isNull());
    auto *timer = splash->findChild<QTimer *>();
    QVERIFY(timer);
    // Not painted yet: the splash stays however long the start takes.
    QVERIFY(!timer->isActive());
    timer->setInterval(20);
    splash->grab();
    QVERIFY(timer->isActive());
    QTRY_VERIFY(splash.isNull());
}

// A wait cursor of a long task stays while the pointer leaves a window with chrome.
void TestChrome::leavingKeepsTheApplicationsCursor()
{
    FormHandler handler;
    const auto window = managedWindow(handler);
    sendMouse(window.get(), QEvent::MouseMove, QPoint(0, 100), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window->cursor().shape(), Qt::SizeHorCursor);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window.get(), &leave);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    QApplication::restoreOverrideCursor();
}

QTEST_MAIN(TestChrome)
#include "tst_chrome.moc"
