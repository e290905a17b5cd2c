#include "privatedisplay.h"
#include "privateoffice.h"

#include "app/mainwindow.h"
#include "excel/excelprobes.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <unistd.h>

// Which application is in front, as the window system says, and the main window following it:
// real windows on an X server of the test's own with a window manager, and a visible office.
// The spreadsheet link is never attached here: the probes need no connection.
class TestExcelForeground : public QObject
{
    Q_OBJECT

public:
    explicit TestExcelForeground(PrivateDisplay &display) : display(display) {}

private slots:
    void initTestCase();
    void cleanupTestCase();

    void windowInFront_data();
    void windowInFront();
    void mainWindowFollowsTheApplicationInFront();
    void noWindowManagerNeverInFront();

private:
    bool bringToFront(quint32 window);
    // The native window of a widget's window now: changing a window's flags makes a new one.
    static quint32 windowOf(const QWidget &widget)
    {
        return quint32(widget.windowHandle()->winId());
    }

    PrivateDisplay &display;
    PrivateOffice office;
    quint32 officeWindow = 0;
};

void TestExcelForeground::initTestCase()
{
    QVERIFY(display.startWindowManager());
    qputenv("SAL_USE_VCLPLUGIN", "gen");
    QVERIFY(office.start(PrivateOffice::Listens, PrivateOffice::Visible));
    QTRY_VERIFY_WITH_TIMEOUT((officeWindow = display.findWindow(" - LibreOffice Calc")) != 0,
                             60000);
}

void TestExcelForeground::cleanupTestCase()
{
    office.stop();
}

// Asked again until it holds: a window that was just shown again may not be managed yet.
bool TestExcelForeground::bringToFront(quint32 window)
{
    return QTest::qWaitFor([&]() {
        if (display.activeWindow() == window)
            return true;
        display.activate(window);
        return false;
    });
}

void TestExcelForeground::windowInFront_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("namesTheOffice");
    QTest::addColumn<bool>("calc");

    QTest::newRow("another application") << "notes.txt - Editor" << false << false;
    QTest::newRow("another application titled like Calc")
        << "Marlowin Pro - LibreOffice Calc" << false << true;
    QTest::newRow("a dialog of the office") << "Format Cells" << true << true;
    QTest::newRow("our name in another application's title") << "Marlowin Pro" << false << false;
}

void TestExcelForeground::windowInFront()
{
    QFETCH(QString, title);
    QFETCH(bool, namesTheOffice);
    QFETCH(bool, calc);

    QVERIFY(bringToFront(officeWindow));
    QVERIFY(isExcelForeground());
    QVERIFY(!isOwnWindowForeground());

    const quint32 other = display.createWindow(title, namesTheOffice ? office.processId() : 0);
    QVERIFY(bringToFront(other));
    QCOMPARE(isExcelForeground(), calc);
    QVERIFY(!isOwnWindowForeground());
    QCOMPARE(foregroundTitleStartsWith("Marlowin"), title.startsWith("Marlowin"));

    QWidget own;
    own.setWindowTitle("Settings");
    own.show();
    QVERIFY(QTest::qWaitForWindowExposed(&own));
    QVERIFY(bringToFront(windowOf(own)));
    QVERIFY(isOwnWindowForeground());
    QVERIFY(!isExcelForeground());
}

void TestExcelForeground::mainWindowFollowsTheApplicationInFront()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const quint32 other = display.createWindow("notes.txt - Editor");

    QVERIFY(bringToFront(officeWindow));
    window.checkExcelIsFrontMostTimeout();
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(window.frontMostTimer->isActive());
    QVERIFY(window.isVisible());

    // The next tick after another application came to the front drops the flag, and polling
    // ends there.
    QVERIFY(bringToFront(other));
    QTRY_VERIFY_WITH_TIMEOUT(!window.frontMostTimer->isActive(),
                             2 * window.frontMostTimer->interval());
    QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(window.isVisible());

    // Our own window in front stops polling and leaves the flags alone.
    QVERIFY(bringToFront(officeWindow));
    window.checkExcelIsFrontMostTimeout();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(bringToFront(windowOf(window)));
    const Qt::WindowFlags flags = window.windowFlags();
    window.frontMostTimer->start();
    window.checkExcelIsFrontMostTimeout();
    QVERIFY(!window.frontMostTimer->isActive());
    QCOMPARE(window.windowFlags(), flags);
}

// Without a window manager the root window still names the window that was active last; the
// probe must not trust it.
void TestExcelForeground::noWindowManagerNeverInFront()
{
    QVERIFY(bringToFront(officeWindow));
    QVERIFY(isExcelForeground());
    display.stopWindowManager();
    QVERIFY(!isExcelForeground());
    QVERIFY(!isOwnWindowForeground());

    MainWindow window;
    window.setWindowFlags(window.windowFlags() | Qt::WindowStaysOnTopHint);
    window.frontMostTimer->start();
    window.checkExcelIsFrontMostTimeout();
    QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!window.frontMostTimer->isActive());
}

// The program must be a client of the test's own X server before the application object
// exists, so this test starts the server first.
int main(int argc, char **argv)
{
    PrivateDisplay display;
    if (!display.start()) {
        qCritical("Cannot start an X server (Xvfb)");
        return 1;
    }
    qputenv("DISPLAY", display.name().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    TestExcelForeground test(display);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_excelforeground.moc"
