#include "privatedisplay.h"
#include "privateoffice.h"

#include "app/mainwindow.h"
#include "app/settingsfiles.h"
#include "app/watchwindowcommands.h"
#include "excel/excelprobes.h"
#include "watches/watchwindow.h"
#include "widgets/termsofuseform.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <optional>
#include <unistd.h>

namespace {

const QString calcSuffix = " - LibreOffice Calc";

} // namespace

// Which application is in front, as the window system says, and our windows following it:
// real windows on an X server of the test's own with a window manager, and a visible office.
// The spreadsheet link is never attached here: the probes need no connection.
class TestExcelForeground : public QObject
{
    Q_OBJECT

public:
    // Without a display of the test's own every case is skipped.
    TestExcelForeground(PrivateDisplay &display, bool available)
        : display(display), available(available)
    {}

private slots:
    void initTestCase();
    void cleanupTestCase();

    void windowInFront_data();
    void windowInFront();
    void mainWindowFollowsTheApplicationInFront();
    void calcKeepsTheFocusWhileOurWindowsStayAbove();
    void calcDialogOpensAboveOurWindows();
    void ownDialogOpensAboveOurWindowsOnTheScreen();
    void noWindowManagerNeverInFront();

private:
    bool bringToFront(quint32 window);
    static quint32 windowOf(const QWidget &widget)
    {
        return quint32(widget.windowHandle()->winId());
    }
    // The main window with a watch window beside it, both shown; Calc is then brought to the
    // front as the user's click on it would, which starts the following.
    void showOurWindowsThenActivateCalc(MainWindow &window);
    static QTimer *frontMostTimer(const MainWindow &window)
    {
        return window.findChild<QTimer *>("frontMostTimer");
    }
    static WatchWindowCommands *watchWindows(const MainWindow &window)
    {
        return window.findChild<WatchWindowCommands *>();
    }

    PrivateDisplay &display;
    const bool available;
    PrivateOffice office;
    quint32 officeWindow = 0;
    QString book;
    SettingsFiles settings;
    std::optional<bool> termsBefore;
};

void TestExcelForeground::initTestCase()
{
    if (!available)
        QSKIP("Xvfb or openbox is not installed: the window manager's behaviour is not tested");
    QVERIFY(display.startWindowManager());
    qputenv("SAL_USE_VCLPLUGIN", "gen");
    QVERIFY(office.start(PrivateOffice::Listens, PrivateOffice::Visible));
    QTRY_VERIFY_WITH_TIMEOUT((officeWindow = display.findWindow(calcSuffix)) != 0, 60000);
    book = display.title(officeWindow).chopped(calcSuffix.size());
    // The terms of a first start would open over everything a while after a main window is
    // made; they are tested on their own.
    termsBefore = settings.termsOfUseApproved();
    settings.setTermsOfUseApproved(true);
}

void TestExcelForeground::cleanupTestCase()
{
    if (termsBefore)
        settings.setTermsOfUseApproved(*termsBefore);
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

// The office's text documents, presentations and start window share Calc's process.
void TestExcelForeground::windowInFront_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("ofTheOffice");
    QTest::addColumn<bool>("dialogOfCalc");
    QTest::addColumn<bool>("calc");

    QTest::newRow("another application") << "notes.txt - Editor" << false << false << false;
    QTest::newRow("another application titled like Calc")
        << "Marlowin Pro - LibreOffice Calc" << false << false << true;
    QTest::newRow("a dialog of Calc") << "Insert Sheet" << true << true << true;
    QTest::newRow("a text document of the office")
        << "letter.odt - LibreOffice Writer" << true << false << false;
    QTest::newRow("the office's start window") << "LibreOffice" << true << false << false;
    QTest::newRow("our name in another application's title")
        << "Marlowin Pro" << false << false << false;
}

void TestExcelForeground::windowInFront()
{
    QFETCH(QString, title);
    QFETCH(bool, ofTheOffice);
    QFETCH(bool, dialogOfCalc);
    QFETCH(bool, calc);

    QVERIFY(bringToFront(officeWindow));
    QCOMPARE(excelForeground(), ExcelForeground::Document);
    QVERIFY(!isOwnWindowForeground());

    const quint32 other = display.createWindow(title, ofTheOffice ? office.processId() : 0,
                                               dialogOfCalc ? officeWindow : 0);
    QVERIFY(bringToFront(other));
    QCOMPARE(isExcelForeground(), calc);
    QCOMPARE(excelForeground() == ExcelForeground::Dialog, dialogOfCalc);
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
    QVERIFY(frontMostTimer(window)->isActive());
    QVERIFY(window.isVisible());

    // The next tick after another application came to the front drops the flag, and polling
    // ends there.
    QVERIFY(bringToFront(other));
    QTRY_VERIFY_WITH_TIMEOUT(!frontMostTimer(window)->isActive(),
                             2 * frontMostTimer(window)->interval());
    QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(window.isVisible());

    // Our own window in front stops polling and leaves the flags alone.
    QVERIFY(bringToFront(officeWindow));
    window.checkExcelIsFrontMostTimeout();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(bringToFront(windowOf(window)));
    const Qt::WindowFlags flags = window.windowFlags();
    frontMostTimer(window)->start();
    window.checkExcelIsFrontMostTimeout();
    QVERIFY(!frontMostTimer(window)->isActive());
    QCOMPARE(window.windowFlags(), flags);
}

void TestExcelForeground::showOurWindowsThenActivateCalc(MainWindow &window)
{
    window.show();
    watchWindows(window)->createWindow();
    WatchWindow *watches = watchWindows(window)->window();
    watches->show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(QTest::qWaitForWindowExposed(watches));
    QVERIFY(bringToFront(windowOf(window)));
    QVERIFY(bringToFront(officeWindow));
}

// Keys meant for Calc must never reach our windows: following Calc on top neither maps nor
// activates them again, over several ticks of the following.
void TestExcelForeground::calcKeepsTheFocusWhileOurWindowsStayAbove()
{
    MainWindow window;
    showOurWindowsThenActivateCalc(window);
    const WatchWindow *watches = watchWindows(window)->window();
    const quint32 main = windowOf(window);
    const quint32 watch = windowOf(*watches);
    QTRY_VERIFY(display.isAbove(main) && display.isAbove(watch));

    const QDeadlineTimer ticks(5 * frontMostTimer(window)->interval());
    while (!ticks.hasExpired()) {
        QTest::qWait(50);
        QCOMPARE(display.activeWindow(), officeWindow);
    }
    QVERIFY(frontMostTimer(window)->isActive());
    QCOMPARE(windowOf(window), main);
    QVERIFY(window.isVisible() && watches->isVisible());
    QVERIFY(display.isAbove(main) && display.isAbove(watch));
    QVERIFY(display.isStackedAbove(main, officeWindow));
    QVERIFY(display.isStackedAbove(watch, officeWindow));
}

// A dialog of Calc opened while our windows are on top ends above them, and they go back on
// top once it is closed, still without the focus.
void TestExcelForeground::calcDialogOpensAboveOurWindows()
{
    MainWindow window;
    showOurWindowsThenActivateCalc(window);
    const quint32 main = windowOf(window);
    const quint32 watch = windowOf(*watchWindows(window)->window());
    QTRY_VERIFY(display.isAbove(main) && display.isAbove(watch));

    QVERIFY(office.dispatchFromOffice(book, ".uno:FormatCellDialog"));
    quint32 dialog = 0;
    QTRY_VERIFY_WITH_TIMEOUT((dialog = display.findWindow("Format Cells")) != 0, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(
        display.isStackedAbove(dialog, main) && display.isStackedAbove(dialog, watch), 10000);
    QVERIFY(!display.isAbove(main) && !display.isAbove(watch));
    QCOMPARE(display.activeWindow(), dialog);

    display.close(dialog);
    QTRY_VERIFY_WITH_TIMEOUT(display.findWindow("Format Cells") == 0, 20000);
    QTRY_VERIFY(display.isAbove(main) && display.isAbove(watch));
    QCOMPARE(display.activeWindow(), officeWindow);
}

// A new user's first start: the terms open over the main window, which stays on top of Calc,
// and whole on the screen.
void TestExcelForeground::ownDialogOpensAboveOurWindowsOnTheScreen()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(bringToFront(officeWindow));
    window.checkExcelIsFrontMostTimeout();
    const quint32 main = windowOf(window);
    QTRY_VERIFY(display.isAbove(main));

    auto *form = window.findChild<TermsOfUseForm *>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const quint32 terms = windowOf(*form);
    QTRY_VERIFY(display.isStackedAbove(terms, main));
    QVERIFY(window.screen()->availableGeometry().contains(form->frameGeometry()));
    form->hide();
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
    frontMostTimer(window)->start();
    window.checkExcelIsFrontMostTimeout();
    QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!frontMostTimer(window)->isActive());
}

// The program must be a client of the test's own X server before the application object
// exists, so this test starts the server first. A machine without the server or the window
// manager skips the cases; one that has them and cannot start them fails.
int main(int argc, char **argv)
{
    PrivateDisplay display;
    const bool installed = !QStandardPaths::findExecutable("Xvfb").isEmpty() &&
                           !QStandardPaths::findExecutable("openbox").isEmpty();
    if (installed && !display.start()) {
        qCritical("Cannot start an X server (Xvfb)");
        return 1;
    }
    qputenv("DISPLAY", display.name().toLatin1());
    qputenv("QT_QPA_PLATFORM", installed ? "xcb" : "offscreen");
    QApplication application(argc, argv);
    TestExcelForeground test(display, installed);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_excelforeground.moc"
