#include "app/mainwindow.h"
#include "app/scanstate.h"
#include "app/settingsfiles.h"
#include "app/sliderwatchregistry.h"
#include "app/watchwindowcommands.h"
#include "excel/vivexcelapplication.h"
#include "fakeexcel.h"
#include "sliders/vivexcelcellsliderview.h"
#include "watches/watchwindow.h"
#include "widgets/qmouseeventlabel.h"
#include "widgets/termsofuseform.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <csignal>

namespace {

extern "C" void ignoreSignal(int) {}

// The window's part of that name and type; the test cannot go on without it.
template <typename T> T *part(const QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("The window has no %s", name);
    return found;
}

// Takes every key press that reaches the object it watches, after the application's filters.
class KeyCatcher : public QObject
{
public:
    explicit KeyCatcher(QObject *target) : m_target(target) { target->installEventFilter(this); }
    ~KeyCatcher() override { m_target->removeEventFilter(this); }
    bool caught = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        caught = true;
        return true;
    }

private:
    QObject *m_target;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void formMatchesLayout();
    void graphButtonState_data();
    void graphButtonState();
    void resizeKeepsChildrenInside();
    void escapeConsumedAndHarmlessOutsideScan();
    void escapeDuringScanRequestsStop();
    void digitsBeyondSliderCountSwallowed();
    void otherKeysNotConsumed();
    void titleDragMovesWindow();
    void missingHelpFileShowsMessage();
    void minimizingHidesWatchWindow_data();
    void minimizingHidesWatchWindow();
    void watchWindowKeys();
    void emptiedWatchWindowIsDropped();
    void termsOfUseAnswers();
    void chromeHelpButtonShowsHelp();
    void terminationSignalClosesTheWindow();

private:
    // Whether the window's application-wide filter took the key, so that it never reached the
    // target (the window itself by default).
    static bool sendKey(MainWindow &window, int key, QObject *target = nullptr)
    {
        target = target ? target : &window;
        const KeyCatcher catcher(target);
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
        return !catcher.caught;
    }
    static WatchWindowCommands *watchWindows(const MainWindow &window)
    {
        return window.findChild<WatchWindowCommands *>();
    }
};

void TestMainWindow::formMatchesLayout()
{
    MainWindow window;
    QCOMPARE(window.windowTitle(), QString("Marlowin Pro"));
    QCOMPARE(window.minimumSize(), QSize(608, 300));
    auto *precision = part<QSlider>(window, "horizontalSlider_scanZoom");
    QCOMPARE(precision->value(), 30);
    QCOMPARE(precision->minimum(), 12);
    QCOMPARE(precision->maximum(), 100);
    auto *title = part<QMouseEventLabel>(window, "label_Marlowin");
    QCOMPARE(title->parentWidget(), &window);
    QCOMPARE(title->geometry().topLeft(), QPoint(24, 5));
    QVERIFY(title->text().contains("Marlow"));
    QVERIFY(!part<QMouseEventLabel>(window, "label_WindowIcon")->pixmap().isNull());
    QCOMPARE(part<QPushButton>(window, "pushButton_newSlider")->text(), QString("New Sliders"));
    QCOMPARE(part<QPushButton>(window, "pushButton_newWatch")->text(), QString("New Watches"));
    QCOMPARE(part<QPushButton>(window, "pushButton_DeleteAll")->text(), QString("Remove All"));
    QCOMPARE(part<QPushButton>(window, "pushButton_Graph")->toolTip(),
             QString("Make graphs for whole range of selected slider(s)"));
}

void TestMainWindow::graphButtonState_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("watchCount");
    QTest::addColumn<bool>("scanning");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("graphEnabled");
    QTest::addColumn<bool>("deleteEnabled");
    QTest::newRow("nothing") << 0 << 0 << false << "Graph" << false << false;
    QTest::newRow("one slider, no watch") << 1 << 0 << false << "Graph" << false << true;
    QTest::newRow("one slider and a watch") << 1 << 1 << false << "Graph" << true << true;
    QTest::newRow("two sliders") << 2 << 1 << false << "3D Graph" << true << true;
    QTest::newRow("three sliders") << 3 << 2 << false << "4D Graph" << true << true;
    QTest::newRow("scanning") << 2 << 1 << true << "Stop Scan" << true << false;
}

void TestMainWindow::graphButtonState()
{
    QFETCH(int, selected);
    QFETCH(int, watchCount);
    QFETCH(bool, scanning);
    QFETCH(QString, text);
    QFETCH(bool, graphEnabled);
    QFETCH(bool, deleteEnabled);
    // Sliders and watches made as New Sliders and New Watches make them, over the test double.
    FakeExcel excel;
    for (int i = 1; i <= selected; ++i)
        excel.setValue(QString("A%1").arg(i), double(i));
    for (int i = 1; i <= watchCount; ++i)
        excel.setFormula(QString("B%1").arg(i), [](FakeExcel &x) { return x.value("A1"); });
    VIVExcelApplication application(excel.application());
    MainWindow window;
    auto *registry = window.findChild<SliderWatchRegistry *>();
    if (selected > 0) {
        excel.setSelection(selected == 1 ? "A1" : QString("A1:A%1").arg(selected));
        QVERIFY(registry->createFromSelection(&application, true));
    }
    if (watchCount > 0) {
        excel.setSelection(watchCount == 1 ? "B1" : QString("B1:B%1").arg(watchCount));
        QVERIFY(registry->createFromSelection(&application, false));
    }
    for (VIVExcelCellSliderView *slider : registry->sliders())
        slider->setSelected(true);
    if (scanning)
        ScanState::of(&window)->setScanning(true);
    auto *graph = part<QPushButton>(window, "pushButton_Graph");
    QCOMPARE(graph->text(), text);
    QCOMPARE(graph->isEnabled(), graphEnabled);
    QCOMPARE(part<QSlider>(window, "horizontalSlider_scanZoom")->isEnabled(), graphEnabled);
    QCOMPARE(part<QPushButton>(window, "pushButton_DeleteAll")->isEnabled(), deleteEnabled);
    QCOMPARE(part<QPushButton>(window, "pushButton_newSlider")->isEnabled(), !scanning);
    QCOMPARE(part<QPushButton>(window, "pushButton_newWatch")->isEnabled(), !scanning);
}

void TestMainWindow::resizeKeepsChildrenInside()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(800, 450);
    QTRY_COMPARE(window.width(), 800);
    const QRect contents = window.contentsRect();
    const QRect main = part<QWidget>(window, "widget_Main")->geometry();
    QCOMPARE(main.left(), 10);
    QCOMPARE(main.top(), 30);
    QCOMPARE(main.right(), contents.right() - contents.left() - 20);
    QCOMPARE(main.bottom(), contents.bottom() - contents.top() - 20);
    const QRect title = part<QWidget>(window, "label_Marlowin")->geometry();
    QCOMPARE(title.left(), 24);
    QCOMPARE(title.right(), 800 - 1 - 46);
}

void TestMainWindow::escapeConsumedAndHarmlessOutsideScan()
{
    MainWindow window;
    QVERIFY(sendKey(window, Qt::Key_Escape));
    QVERIFY(!ScanState::of(&window)->stopRequested());
    QVERIFY(!ScanState::of(&window)->isScanning());
}

void TestMainWindow::escapeDuringScanRequestsStop()
{
    MainWindow window;
    ScanState::of(&window)->setScanning(true);
    QVERIFY(sendKey(window, Qt::Key_Escape));
    QVERIFY(ScanState::of(&window)->stopRequested());
}

void TestMainWindow::digitsBeyondSliderCountSwallowed()
{
    MainWindow window;
    for (int key = Qt::Key_1; key <= Qt::Key_9; ++key)
        QVERIFY(sendKey(window, key));
    QVERIFY(window.findChild<SliderWatchRegistry *>()->selectedSliders().isEmpty());
}

void TestMainWindow::otherKeysNotConsumed()
{
    MainWindow window;
    QVERIFY(!sendKey(window, Qt::Key_0));
    QVERIFY(!sendKey(window, Qt::Key_Q));
    // Keys for other objects are never taken.
    QObject other;
    QVERIFY(!sendKey(window, Qt::Key_Escape, &other));
}

void TestMainWindow::titleDragMovesWindow()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint before = window.pos();
    auto *title = part<QMouseEventLabel>(window, "label_Marlowin");
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 25), title->mapToGlobal(QPointF(30, 25)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    window.label_MarlowinMouseMoved(&move);
    QCOMPARE(window.pos(), before + QPoint(20, 15));
    QMouseEvent hover(QEvent::MouseMove, QPointF(60, 60), title->mapToGlobal(QPointF(60, 60)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    window.label_MarlowinMouseMoved(&hover);
    QCOMPARE(window.pos(), before + QPoint(20, 15));
}

void TestMainWindow::missingHelpFileShowsMessage()
{
    QVERIFY(!QFileInfo::exists(MainWindow::helpFilePath()));
    MainWindow window;
    QString text;
    QString informative;
    bool onTop = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        text = box->text();
        informative = box->informativeText();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        box->accept();
    });
    window.showHelp();
    QCOMPARE(text, QString("Marlowin Pro Quick Help file not found."));
    QVERIFY(informative.startsWith("Please re-download Marlowin Pro or request the help file"));
    QVERIFY(onTop);
}

void TestMainWindow::minimizingHidesWatchWindow_data()
{
    QTest::addColumn<bool>("visibleBefore");
    QTest::newRow("visible watch window comes back") << true;
    QTest::newRow("hidden watch window stays hidden") << false;
}

void TestMainWindow::minimizingHidesWatchWindow()
{
    QFETCH(bool, visibleBefore);
    MainWindow window;
    window.show();
    watchWindows(window)->adopt(new WatchWindow);
    WatchWindow *watchWindow = watchWindows(window)->window();
    watchWindow->setVisible(visibleBefore);

    window.showMinimized();
    QVERIFY(!watchWindow->isVisible());
    QCOMPARE(watchWindow->property("wasvisible").toBool(), visibleBefore);

    window.showNormal();
    QCOMPARE(watchWindow->isVisible(), visibleBefore);
}

void TestMainWindow::watchWindowKeys()
{
    MainWindow window;
    // F is taken even while there is no watch window to act on.
    QVERIFY(sendKey(window, Qt::Key_F));

    watchWindows(window)->adopt(new WatchWindow);
    WatchWindow *watchWindow = watchWindows(window)->window();
    watchWindow->show();
    auto *flat = watchWindow->findChild<QCheckBox *>(QStringLiteral("checkBox_Flat3DGraph"));
    auto *smooth = watchWindow->findChild<QCheckBox *>(QStringLiteral("checkBox_SmoothGraphs"));
    flat->setVisible(true);
    const bool flatBefore = flat->isChecked();
    QVERIFY(sendKey(window, Qt::Key_F));
    QCOMPARE(flat->isChecked(), !flatBefore);
    flat->setVisible(false);
    QVERIFY(sendKey(window, Qt::Key_F));
    QCOMPARE(flat->isChecked(), !flatBefore);

    const bool smoothBefore = smooth->isChecked();
    QVERIFY(sendKey(window, Qt::Key_S, watchWindow));
    QCOMPARE(smooth->isChecked(), !smoothBefore);
    // Keys for the watch window's children are theirs.
    QVERIFY(!sendKey(window, Qt::Key_S, smooth));
    QCOMPARE(smooth->isChecked(), !smoothBefore);
}

void TestMainWindow::emptiedWatchWindowIsDropped()
{
    MainWindow window;
    auto *older = new WatchWindow;
    watchWindows(window)->adopt(older);
    auto *current = new WatchWindow;
    watchWindows(window)->adopt(current);
    const QPointer<WatchWindow> olderGuard(older);
    const QPointer<WatchWindow> currentGuard(current);
    // An older window that loses its last watch goes; the current one stays where new watches go.
    emit older->watchesEmptied();
    QTRY_VERIFY(!olderGuard);
    QCOMPARE(watchWindows(window)->window(), current);
    emit current->watchesEmptied();
    QVERIFY(!watchWindows(window)->window());
    QTRY_VERIFY(!currentGuard);
}

void TestMainWindow::termsOfUseAnswers()
{
    // A first start: no settings file where the program keeps it, beside the test program.
    const SettingsFiles settings;
    QFile::remove(settings.settingsPath());
    MainWindow window;
    window.show();
    auto *form = window.findChild<TermsOfUseForm *>();
    QVERIFY(form->findChild<QTextEdit *>("textEdit_termsOfUse")->toPlainText().contains("Terms"));
    window.checkTermsOfUseApproval();
    QVERIFY(form->isVisible());
    QVERIFY(form->isModal());

    // Accepted, then accepted again from the link: the flag stays set, the form closes.
    for (int round = 0; round < 2; ++round) {
        form->findChild<QPushButton *>("pushButton_accept")->click();
        QVERIFY(!form->isVisible());
        QVERIFY(settings.termsOfUseApproved());
        window.checkTermsOfUseApproval();
        QVERIFY(!form->isVisible());
        QTest::mousePress(part<QWidget>(window, "label_termsOfUse"), Qt::LeftButton);
        QVERIFY(form->isVisible());
    }

    // Declining closes every window, and with the last window the program ends.
    form->findChild<QPushButton *>("pushButton_reject")->click();
    QVERIFY(ScanState::of(&window)->isClosing());
    QVERIFY(!window.isVisible());
    QVERIFY(!form->isVisible());
    QVERIFY(settings.termsOfUseApproved());
    QFile::remove(settings.settingsPath());
}

void TestMainWindow::chromeHelpButtonShowsHelp()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.grab();
    const QPoint help = window.property("helpbuttonrect").toRect().center();
    QVERIFY(!help.isNull());
    // The help file is missing beside the test, so the help shows its message; the message
    // runs its own event loop, so a timer inside that loop answers it.
    bool messageShown = false;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            messageShown = true;
            box->accept();
        }
    });
    answer.start(20);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(help), window.mapToGlobal(QPointF(help)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    }
    QTRY_VERIFY(messageShown);
}

// A logout or `kill` must end the program through its close, which stops a scan and the scan
// offices; the handlers go with the window, so a later window or the test keeps its own.
void TestMainWindow::terminationSignalClosesTheWindow()
{
    struct sigaction own = {};
    own.sa_handler = ignoreSignal;
    sigemptyset(&own.sa_mask);
    struct sigaction before = {};
    sigaction(SIGTERM, &own, &before);
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ::raise(SIGTERM);
        QTRY_VERIFY(!window.isVisible());
    }
    struct sigaction after = {};
    sigaction(SIGTERM, &before, &after);
    QVERIFY(after.sa_handler == ignoreSignal);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
