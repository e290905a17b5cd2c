#include "app/scanrunner.h"
#include "app/scanstate.h"
#include "app/sliderwatchregistry.h"

#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "fakeexcel.h"
#include "graph/minmaxmultidimdata.h"
#include "logcapture.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchwindow.h"
#include "widgets/progresspushbutton.h"

#include <QHBoxLayout>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <memory>

// The registry and the scan runner as the main window wires them, over the test double.
class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void selectionMakesEachObjectOnce();
    void limitEndsTheWalkWithOneLogLine();
    void liveMoveWritesOneCellAndAppendsToEveryWatch();
    void newRangeWritesOnlyANumberOutsideIt_data();
    void newRangeWritesOnlyANumberOutsideIt();
    void dragIsOneUndoStep();
    void burstOfMovesMakesOneRescan();
    void movesDuringAScan();
    void scanStoresTheCurveAndRestoresTheCell();
    void zoomSlowsTheOtherWatchesForAWhile();
    void colourMapKeepsItsScaleAndAxis();

private:
    VIVExcelCellSliderView *slider(int i) { return registry->sliders()[i]; }
    void makeObjects();

    std::unique_ptr<FakeExcel> excel;
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<WatchWindow> watchWindow;
    std::unique_ptr<VIVExcelApplication> application;
    SliderWatchRegistry *registry = nullptr;
    ScanRunner *runner = nullptr;
    ProgressPushButton *graph = nullptr;
    QSlider *precision = nullptr;
};

void TestRegistry::init()
{
    excel = std::make_unique<FakeExcel>();
    excel->setValue("A1", 5.0);
    excel->setValue("A2", 2.0);
    excel->setValue("A3", 1.0);
    excel->setFormula("B1", [](FakeExcel &x) { return QVariant(2 * x.number("A1")); });
    excel->setFormula("B2", [](FakeExcel &x) { return QVariant(x.number("A1") + x.number("A2")); });
    application = std::make_unique<VIVExcelApplication>(excel->application());
    owner = std::make_unique<QWidget>();
    auto *strip = new QHBoxLayout(owner.get());
    strip->addStretch();
    graph = new ProgressPushButton(owner.get());
    precision = new QSlider(owner.get());
    precision->setRange(12, 100);
    precision->setValue(30);
    registry = new SliderWatchRegistry(owner.get(), strip);
    runner = new ScanRunner(owner.get(), registry, graph, precision);
    watchWindow = std::make_unique<WatchWindow>();
    registry->setWatchWindow(watchWindow.get());
    // A hidden watch window only comes back at the first Graph press.
    watchWindow->show();
    registry->setWatchSize(2 * 120 + 50);
    connect(registry, &SliderWatchRegistry::selectionChanged, runner,
            &ScanRunner::selectionChanged);
    connect(registry, &SliderWatchRegistry::sliderConfigChanged, runner,
            &ScanRunner::sliderConfigChanged);
}

void TestRegistry::cleanup()
{
    registry->removeAll();
    watchWindow.reset();
    owner.reset();
    application.reset();
    excel.reset();
}

void TestRegistry::makeObjects()
{
    excel->setSelection("A1:B3");
    QVERIFY(registry->createFromSelection(application.get(), true));
    QVERIFY(registry->createFromSelection(application.get(), false));
}

// One slider per value cell and one watch per formula cell; the same selection again only
// logs that they exist.
void TestRegistry::selectionMakesEachObjectOnce()
{
    makeObjects();
    QCOMPARE(registry->sliders().size(), 3);
    QCOMPARE(registry->watches().size(), 2);
    QCOMPARE(slider(0)->range()->address(), QString("A1"));
    QCOMPARE(registry->watches()[1]->range()->address(), QString("B2"));
    QCOMPARE(watchWindow->watches().size(), 2);
    // New watches show their cells' values before any slider moves.
    QCOMPARE(registry->watches()[1]->data()->values(), QList<double>{7.0});
    // Both watches share one split point.
    registry->watches()[0]->setSplitPoint({0.25, 0.75});
    QCOMPARE(registry->watches()[1]->splitPoint(), QPointF(0.25, 0.75));

    LogCapture duplicates;
    QVERIFY(registry->createFromSelection(application.get(), true));
    QVERIFY(registry->createFromSelection(application.get(), false));
    QCOMPARE(duplicates.count("already exists. Skipping..."), 5);
    QCOMPARE(registry->sliders().size(), 3);
    QCOMPARE(registry->watches().size(), 2);

    excel->setSelection("D1");
    QVERIFY(!registry->createFromSelection(application.get(), false));

    // Locked cells of a protected sheet get no slider, and are named for the user once.
    for (const QString cell : {"A4", "A5"}) {
        excel->setValue(cell, 3.0);
        excel->find(excel->qualified(cell))->locked = true;
    }
    excel->setSelection("A4;A5");
    LogCapture protectedCell;
    registry->createFromSelection(application.get(), true);
    QCOMPARE(protectedCell.count("The cell is protected"), 2);
    QCOMPARE(registry->protectedCells(), QStringList({"A4", "A5"}));
    QCOMPARE(registry->sliders().size(), 3);
    excel->setSelection("A1");
    registry->createFromSelection(application.get(), true);
    QVERIFY(registry->protectedCells().isEmpty());
}

void TestRegistry::limitEndsTheWalkWithOneLogLine()
{
    for (int row = 1; row <= 30; ++row)
        excel->setValue(QString("C%1").arg(row), double(row));
    excel->setSelection("C1:C30");
    LogCapture tooMany;
    registry->createFromSelection(application.get(), true);
    QCOMPARE(registry->sliders().size(), SliderWatchRegistry::maxObjects);
    QCOMPARE(tooMany.count("Skipping, too many sliders..."), 1);
}

void TestRegistry::newRangeWritesOnlyANumberOutsideIt_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("cell");
    QTest::newRow("inside, off the grid") << 0.0 << 10.0 << 5.0;
    QTest::newRow("above") << 0.0 << 4.0 << 4.0;
    QTest::newRow("below") << 6.0 << 10.0 << 6.0;
}

// The slider settings of A1 (holding 5) confirmed with a new range and a step of 2.
void TestRegistry::newRangeWritesOnlyANumberOutsideIt()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, cell);
    makeObjects();
    excel->clearCalls();
    slider(0)->slider()->setConfig(minimum, maximum, 2);
    QCOMPARE(excel->count("SetValue"), cell == 5.0 ? 0 : 1);
    QCOMPARE(excel->number("A1"), cell);
}

void TestRegistry::liveMoveWritesOneCellAndAppendsToEveryWatch()
{
    makeObjects();
    excel->clearCalls();
    runner->sliderMoved(application.get(), slider(0), 7.0);
    QCOMPARE(excel->count("SetValue"), 1);
    QCOMPARE(excel->number("A1"), 7.0);
    QCOMPARE(registry->watches()[0]->data()->values().last(), 14.0);
    QCOMPARE(registry->watches()[1]->data()->values().last(), 9.0);
    QCOMPARE(slider(1)->display()->data()->values().last(), 2.0);
    // A move without a drag is one undo step of its own.
    QCOMPARE(excel->count("Workbook.EnterUndoContext Slider A1"), 1);
    QCOMPARE(excel->count("Workbook.LeaveUndoContext"), 1);
}

void TestRegistry::dragIsOneUndoStep()
{
    makeObjects();
    excel->clearCalls();
    emit slider(0)->slider()->sliderPressed();
    for (double value : {6.0, 7.0, 8.0})
        runner->sliderMoved(application.get(), slider(0), value);
    emit slider(0)->slider()->sliderReleased();
    // Every write leaves its context before the next event: none is open between moves.
    QCOMPARE(excel->count("Workbook.EnterUndoContext Slider A1"), 1);
    QCOMPARE(excel->count("Workbook.JoinLastUndoStep"), 2);
    QCOMPARE(excel->count("Workbook.LeaveUndoContext"), 3);
    QCOMPARE(excel->count("SetValue"), 3);
    // Once the drag has ended, the next move is a step of its own.
    QTRY_VERIFY(!registry->isDragging());
    runner->sliderMoved(application.get(), slider(0), 9.0);
    QCOMPARE(excel->count("Workbook.EnterUndoContext Slider A1"), 2);
}

void TestRegistry::burstOfMovesMakesOneRescan()
{
    makeObjects();
    slider(0)->setSelected(true);
    slider(1)->setSelected(true);
    QCOMPARE(registry->selectedSliders().size(), 2);
    QSignalSpy rescans(runner, &ScanRunner::rescanRequested);
    excel->clearCalls();
    for (double value : {0.5, 0.6, 0.7})
        runner->sliderMoved(application.get(), slider(2), value);
    QCOMPARE(excel->count("SetValue"), 0);
    QTRY_COMPARE(rescans.count(), 1);
    QTest::qWait(50);
    QCOMPARE(rescans.count(), 1);
}

// During a scan a slider that is not scanned restarts it; a scanned one only shows a slice.
void TestRegistry::movesDuringAScan()
{
    makeObjects();
    slider(0)->setSelected(true);
    runner->startOrStop(application.get(), watchWindow.get());
    ScanState::of(owner.get())->setScanning(true);
    runner->sliderMoved(application.get(), slider(0), 3.0);
    QVERIFY(!ScanState::of(owner.get())->stopRequested());
    runner->sliderMoved(application.get(), slider(1), 3.0);
    QVERIFY(ScanState::of(owner.get())->stopRequested());
    QVERIFY(ScanState::of(owner.get())->restartRequested());
}

void TestRegistry::scanStoresTheCurveAndRestoresTheCell()
{
    makeObjects();
    slider(0)->setSelected(true);
    excel->clearCalls();
    runner->startOrStop(application.get(), watchWindow.get());
    QVERIFY(!ScanState::of(owner.get())->isScanning());
    const MinMaxMultiDimData *data = registry->watches()[0]->data();
    QCOMPARE(data->graphDepth(), GraphDepthCurve);
    QVERIFY(data->scanComplete());
    const DataDimension axis = data->dimensions().first();
    QCOMPARE(axis.from, 0.0);
    QVERIFY(axis.count > 2 && axis.count <= 45);
    for (int i = 0; i < axis.count; ++i) {
        const double x = axis.from + (axis.to - axis.from) / (axis.count - 1) * i;
        QCOMPARE(float(data->value({i})), float(2 * x));
    }
    QCOMPARE(excel->number("A1"), 5.0);
    QVERIFY(excel->screenUpdating);
    QVERIFY(excel->calls().contains("ScreenUpdating 0"));
}

// While one watch zooms, the others repaint less often; a second later all are back at their
// rates, the zooming one never having changed.
void TestRegistry::zoomSlowsTheOtherWatchesForAWhile()
{
    makeObjects();
    VIVExcelWatchView *zooming = registry->watches()[0];
    VIVExcelWatchView *other = registry->watches()[1];
    const double rate = zooming->repaintFactor();
    QCOMPARE(other->repaintFactor(), rate);

    emit zooming->mouseZoomChanging();
    QCOMPARE(zooming->repaintFactor(), rate);
    QCOMPARE(other->repaintFactor(), rate * 1.5 * 2);
    QTRY_COMPARE(other->repaintFactor(), rate);
    QCOMPARE(zooming->repaintFactor(), rate);
}

// A surface drawn as a colour map is read on its value scale and parameter axis.
void TestRegistry::colourMapKeepsItsScaleAndAxis()
{
    makeObjects();
    slider(0)->setSelected(true);
    slider(1)->setSelected(true);
    runner->startOrStop(application.get(), watchWindow.get());
    VIVExcelWatchView *watch = registry->watches()[0];
    QCOMPARE(watch->data()->graphDepth(), GraphDepthSurface);
    watch->data()->setFlat3D(true);
    QVERIFY(!watch->areaRect(WatchAreaScale).isEmpty());
    QVERIFY(!watch->areaRect(WatchAreaAxis).isEmpty());
}

QTEST_MAIN(TestRegistry)
#include "tst_registry.moc"
