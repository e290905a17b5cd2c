#include "officetest.h"

#include "app/scanrunner.h"
#include "app/scanstate.h"
#include "app/scanworkers.h"
#include "app/settingsfiles.h"
#include "app/sliderwatchregistry.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/kernel/kernelprotocol.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "graph/minmaxmultidimdata.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchwindow.h"
#include "widgets/progresspushbutton.h"

#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <cstring>
#include <memory>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

// Scans and live moves against a private headless office: the values stored, and the user's
// cells, undo history and modified flag afterwards.
class TestScanOffice : public OfficeTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void scansStoreTheFormulasValues();
    void workbookIsAsBeforeAfterAScan_data();
    void workbookIsAsBeforeAfterAScan();
    void dragIsOneUndoStep();
    void faultsLeaveTheWorkbookWhole_data();
    void faultsLeaveTheWorkbookWhole();
    void staleWorkbookShowsTrueValues_data();
    void staleWorkbookShowsTrueValues();
    void freshProgramMatchesFullRecalculation();
    void newWatchShowsFullRecalculation();
    void stopDuringKernelBatchesIsDeferred();
    void scanOnWorkersEqualsScanInTheOffice();
    void workbookWithExternalReferenceStaysInTheOffice();
    // Kills the office: the last test.
    void officeDyingEndsTheDrag();

private:
    VIVExcelCellSliderView *slider(int i) { return registry->sliders()[i]; }
    VIVExcelWatchView *watch(int i) { return registry->watches()[i]; }
    void scan();
    void prepareFault(const QString &fault, const QString &content);
    void restartOffice();
    // Opens a copy of the test workbook file in folder; its title, empty when it did not open.
    QString openCopy(const QTemporaryDir &folder, const QString &file);

    std::unique_ptr<QWidget> owner;
    std::unique_ptr<WatchWindow> watchWindow;
    SliderWatchRegistry *registry = nullptr;
    ScanRunner *runner = nullptr;
    QSlider *precision = nullptr;
    QTemporaryDir folder;
};

void TestScanOffice::initTestCase()
{
    QVERIFY(startOffice());
}

void TestScanOffice::cleanupTestCase()
{
    stopOffice();
}

// A workbook with inputs A1 = 5 and A2 = 2 and the formulas B1 = 2 A1 and B2 = A1 + 10 A2,
// one slider per input and one watch per formula.
void TestScanOffice::init()
{
    QVERIFY(addBook());
    for (const auto &[cell, content] : QList<QPair<QString, QString>>{
             {"A1", "5"}, {"A2", "2"}, {"B1", "=A1*2"}, {"B2", "=A1+A2*10"}})
        QVERIFY(office.setContent(bookName, cell, content));
    QVERIFY(office.select(bookName, {"A1:B2"}));
    owner = std::make_unique<QWidget>();
    auto *strip = new QHBoxLayout(owner.get());
    strip->addStretch();
    precision = new QSlider(owner.get());
    precision->setRange(12, 100);
    precision->setValue(30);
    registry = new SliderWatchRegistry(owner.get(), strip);
    runner = new ScanRunner(owner.get(), registry, new ProgressPushButton(owner.get()), precision);
    connect(registry, &SliderWatchRegistry::selectionChanged, runner,
            &ScanRunner::selectionChanged);
    watchWindow = std::make_unique<WatchWindow>();
    watchWindow->show();
    registry->setWatchWindow(watchWindow.get());
    QVERIFY(registry->createFromSelection(application, true));
    QVERIFY(registry->createFromSelection(application, false));
    QCOMPARE(registry->sliders().size(), 2);
    QCOMPARE(registry->watches().size(), 2);
    QVERIFY(office.clearUndo(bookName));
    QVERIFY(office.setModified(bookName, false));
}

void TestScanOffice::cleanup()
{
    if (owner)
        registry->removeAll();
    watchWindow.reset();
    owner.reset();
    closeBook();
}

void TestScanOffice::scan()
{
    runner->startOrStop(application, watchWindow.get());
    QVERIFY(!ScanState::of(owner.get())->isScanning());
}

void TestScanOffice::scansStoreTheFormulasValues()
{
    slider(0)->setSelected(true);
    scan();
    const MinMaxMultiDimData *curve = watch(0)->data();
    QCOMPARE(curve->graphDepth(), GraphDepthCurve);
    const DataDimension x = curve->dimensions().first();
    for (int i = 0; i < x.count; ++i) {
        const double a = x.from + (x.to - x.from) / (x.count - 1) * i;
        QCOMPARE(float(curve->value({i})), float(2 * a));
    }

    slider(1)->setSelected(true);
    scan();
    const MinMaxMultiDimData *surface = watch(1)->data();
    QCOMPARE(surface->graphDepth(), GraphDepthSurface);
    const QList<DataDimension> axes = surface->dimensions();
    QCOMPARE(axes.size(), 2);
    for (int i = 0; i < axes[0].count; i += 3) {
        for (int j = 0; j < axes[1].count; j += 2) {
            const double a = axes[0].from + (axes[0].to - axes[0].from) / (axes[0].count - 1) * i;
            const double b = axes[1].from + (axes[1].to - axes[1].from) / (axes[1].count - 1) * j;
            QCOMPARE(float(surface->value({i, j})), float(a + 10 * b));
        }
    }
    QCOMPARE(office.content(bookName, "A1"), QString("5"));
    QCOMPARE(office.content(bookName, "A2"), QString("2"));
}

void TestScanOffice::workbookIsAsBeforeAfterAScan_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("change");
    QTest::addColumn<QString>("typed");
    QTest::newRow("completed") << "completed" << false << QString();
    QTest::newRow("stopped") << "stopped" << false << QString();
    QTest::newRow("restarted") << "restarted" << false << QString();
    QTest::newRow("closed") << "closed" << false << QString();
    QTest::newRow("text typed into the cell") << "completed" << true << "hello";
    QTest::newRow("cell emptied") << "completed" << true << QString();
}

// The scanned cell gets its number back bit for bit, whatever happened to it during the scan,
// and the undo history and modified flag are as they were. The redo list is gone, as the README
// says: Calc ends it with any write kept out of the undo history.
void TestScanOffice::workbookIsAsBeforeAfterAScan()
{
    QFETCH(QString, how);
    QFETCH(bool, change);
    QFETCH(QString, typed);
    QVERIFY(office.setContent(bookName, "A1", "0.1"));
    QVERIFY(office.setContent(bookName, "C1", "user"));
    QVERIFY(office.setContent(bookName, "C2", "undone"));
    QVERIFY(office.undo(bookName));
    QCOMPARE(office.redoTitles(bookName).size(), 1);
    QVERIFY(office.setModified(bookName, false));
    const QStringList undo = office.undoTitles(bookName);
    slider(0)->setSelected(true);
    QTimer::singleShot(0, this, [&]() {
        if (how != "completed") {
            ScanState *state = ScanState::of(owner.get());
            if (how == "restarted")
                state->requestRestart();
            else if (how == "closed")
                state->setClosing();
            state->requestStop();
        }
        if (change)
            office.setContent(bookName, "A1", typed);
    });
    scan();
    QCOMPARE(office.content(bookName, "A1"), QString("0.1"));
    QCOMPARE(office.content(bookName, "C1"), QString("user"));
    QCOMPARE(office.content(bookName, "C2"), QString());
    QCOMPARE(office.undoTitles(bookName), undo);
    QCOMPARE(office.redoTitles(bookName), QStringList());
    QVERIFY(!office.isModified(bookName));
}

void TestScanOffice::faultsLeaveTheWorkbookWhole_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("content");
    QTest::newRow("slider cell turned formula") << "turned"
                                                << "=3+4";
    QTest::newRow("slider cell turned text") << "turned"
                                             << "tall";
    QTest::newRow("slider cell emptied") << "turned"
                                         << "";
    QTest::newRow("stored slider limits") << "stored"
                                          << "0.01 0.1 0.005";
    QTest::newRow("stored step 0 without minimum") << "stored"
                                                   << "nan 0.1 0";
    // Last: the other tests go on with the restarted office.
    QTest::newRow("office restarted") << "restart" << QString();
}

// After a scan of a slider whose cell the user changed since, or after a slider is made with
// stored settings that do not fit its cell's value, every cell holds exactly what it held, the
// undo history and the modified flag are as they were, and the office runs.
void TestScanOffice::faultsLeaveTheWorkbookWhole()
{
    QFETCH(QString, fault);
    QFETCH(QString, content);
    const QString cell = fault == "stored" ? "B4" : "A1";
    prepareFault(fault, content);
    const QString before = office.content(bookName, cell);
    const double number = PrivateOffice::cellOf(office.model(bookName), cell)->getValue();
    QVERIFY(office.setModified(bookName, false));
    const QStringList undo = office.undoTitles(bookName);
    if (fault == "stored") {
        QVERIFY(office.select(bookName, {"B4"}));
        QVERIFY(registry->createFromSelection(application, true));
        QFile::remove(SettingsFiles().sliderSettingsPath());
        QCOMPARE(registry->sliders().size(), 3);
        QCOMPARE(slider(2)->slider()->realMaximum(), 0.1);
        // Past the slider's rate limiter, which would have written by now.
        QTest::qWait(100);
    } else {
        slider(0)->setSelected(true);
        scan();
        const MinMaxMultiDimData *curve = watch(0)->data();
        const DataDimension x = curve->dimensions().first();
        QCOMPARE(float(curve->value({x.count - 1})), float(2 * x.to));
    }
    QCOMPARE(office.content(bookName, cell), before);
    QVERIFY(sameBits(PrivateOffice::cellOf(office.model(bookName), cell)->getValue(), number));
    QCOMPARE(office.undoTitles(bookName), undo);
    QVERIFY(!office.isModified(bookName));
    QVERIFY(office.processId() != 0);
}

void TestScanOffice::prepareFault(const QString &fault, const QString &content)
{
    if (fault == "turned") {
        QVERIFY(office.setContent(bookName, "A1", content));
    } else if (fault == "stored") {
        QVERIFY(office.setContent(bookName, "A4", "Rate"));
        QVERIFY(office.setContent(bookName, "B4", "0.045"));
        QSettings stored(SettingsFiles().sliderSettingsPath(), QSettings::IniFormat);
        const QString group = SettingsFiles::groupName(bookName) + "/Sheet1/Rate/";
        const QStringList limits = content.split(' ');
        for (int i = 0; i < 3; ++i)
            stored.setValue(group + QStringList{"min", "max", "step"}[i], limits[i]);
    } else {
        restartOffice();
    }
}

// The sliders and watches are made on a saved workbook; the office dies and comes back with the
// workbook, and the views move over to its cells.
void TestScanOffice::restartOffice()
{
    using namespace css;
    const QString path = folder.filePath("restarted.ods");
    uno::Reference<frame::XStorable>(office.model(bookName), uno::UNO_QUERY_THROW)
        ->storeAsURL(toOUString(QUrl::fromLocalFile(path).toString()), {});
    bookName = QFileInfo(path).fileName();
    registry->removeAll();
    QVERIFY(office.select(bookName, {"A1:B2"}));
    QVERIFY(registry->createFromSelection(application, true));
    QVERIFY(registry->createFromSelection(application, false));

    office.kill();
    QVERIFY(office.start());
    QCOMPARE(office.open(path), bookName);
    QVERIFY(office.activate(bookName));
    auto *restarted = new VIVExcelApplication(ExcelBackend::attachOrStart(), this);
    QSignalSpy dropped(registry, &SliderWatchRegistry::viewsDropped);
    QVERIFY(registry->followApplication(restarted));
    QVERIFY(dropped.isEmpty());
    // The workbook wrapper goes with the application of the dead office.
    delete application;
    book = nullptr;
    sheet = nullptr;
    application = restarted;
    QCOMPARE(registry->sliders().size(), 2);
    QCOMPARE(registry->watches().size(), 2);
}

// A whole drag is one step of the office's undo history, named after the cell, on top of the
// user's older step: Ctrl+Z takes it back to the value before the press, the move after it is a
// step of its own (no undo context was left open to swallow it), and the older step survives.
void TestScanOffice::dragIsOneUndoStep()
{
    QVERIFY(office.setContent(bookName, "C1", "older"));
    emit slider(0)->slider()->sliderPressed();
    for (double value : {6.0, 7.0, 8.0})
        runner->sliderMoved(application, slider(0), value);
    emit slider(0)->slider()->sliderReleased();
    QCOMPARE(float(watch(0)->data()->values().last()), 16.0f);
    QCOMPARE(office.undoTitles(bookName).size(), 2);
    QCOMPARE(office.undoTitles(bookName).first(), QString("Slider A1"));
    QVERIFY(office.isModified(bookName));
    QTRY_VERIFY(!registry->isDragging());
    runner->sliderMoved(application, slider(0), 9.0);
    QCOMPARE(office.undoTitles(bookName).mid(0, 2), (QStringList{"Slider A1", "Slider A1"}));

    QVERIFY(office.dispatch(bookName, ".uno:Undo"));
    QCOMPARE(office.content(bookName, "A1"), QString("8"));
    QVERIFY(office.undo(bookName));
    QCOMPARE(office.content(bookName, "A1"), QString("5"));
    QCOMPARE(office.content(bookName, "B1"), QString("=A1*2"));
    QCOMPARE(office.undoTitles(bookName).size(), 1);
    QVERIFY(office.dispatch(bookName, ".uno:Undo"));
    QCOMPARE(office.content(bookName, "C1"), QString());
}

void TestScanOffice::staleWorkbookShowsTrueValues_data()
{
    QTest::addColumn<bool>("scanFirst");
    QTest::newRow("found by a scan") << true;
    QTest::newRow("found by a slider move") << false;
}

// A workbook that keeps its formulas' old results after a write (automatic calculation off, as
// a workbook saved that way opens): a scan and a slider move, whichever comes first, draw true
// values, and after the scan the office itself shows results that fit the restored inputs, not
// the scan's last point.
void TestScanOffice::staleWorkbookShowsTrueValues()
{
    QFETCH(bool, scanFirst);
    using namespace css;
    uno::Reference<sheet::XCalculatable>(office.model(bookName), uno::UNO_QUERY_THROW)
        ->enableAutomaticCalculation(false);
    QVERIFY(office.setModified(bookName, false));
    const QStringList undo = office.undoTitles(bookName);
    if (scanFirst) {
        slider(0)->setSelected(true);
        scan();
        const MinMaxMultiDimData *curve = watch(0)->data();
        const DataDimension x = curve->dimensions().first();
        for (int i = 0; i < x.count; ++i)
            QCOMPARE(float(curve->value({i})),
                     float(2 * (x.from + (x.to - x.from) / (x.count - 1) * i)));
        QCOMPARE(PrivateOffice::cellOf(office.model(bookName), "B1")->getValue(), 10.0);
        QCOMPARE(office.undoTitles(bookName), undo);
        QVERIFY(!office.isModified(bookName));
        slider(0)->setSelected(false);
    }
    runner->sliderMoved(application, slider(0), 7.0);
    QCOMPARE(float(watch(0)->data()->values().last()), 14.0f);
    QCOMPARE(float(watch(1)->data()->values().last()), 27.0f);
}

// What the office's full recalculation gives for the cell after the inputs are written.
double fullyRecalculated(const css::uno::Reference<css::frame::XModel> &model,
                         const QStringList &inputs, const QList<double> &values,
                         const QString &output)
{
    using namespace css;
    for (qsizetype i = 0; i < inputs.size(); ++i)
        PrivateOffice::cellOf(model, inputs[i])->setValue(values[i]);
    const uno::Reference<sheet::XCalculatable> calculation(model, uno::UNO_QUERY_THROW);
    calculation->calculate();
    calculation->calculateAll();
    return PrivateOffice::cellOf(model, output)->getValue();
}

// A program started afresh on a loan from elsewhere that Calc reads stale after a write, and
// whose payoff month is the same whether stale or not at the scan's first corner (no extra
// payment) and wherever the extra payment is below the lender's minimum: every point of a
// two-slider scan and every move of a drag shows what a full recalculation gives.
QString TestScanOffice::openCopy(const QTemporaryDir &folder, const QString &file)
{
    const QString copy = folder.filePath(file);
    if (!QFile::copy(QStringLiteral(MARLOWIN_TEST_DATA_DIR "/") + file, copy))
        return QString();
    return office.open(copy);
}

void TestScanOffice::freshProgramMatchesFullRecalculation()
{
    QTemporaryDir folder;
    const QString loan = openCopy(folder, "amortization-minimum.xlsx");
    QVERIFY(!loan.isEmpty());
    VIVExcelApplication fresh(ExcelBackend::attachOrStart());
    QVERIFY(office.activate(loan));
    QTRY_COMPARE(fresh.activeWorkbook(false)->name(), loan);
    registry->removeAll();
    QVERIFY(office.select(loan, {"B2:B3"}));
    QVERIFY(registry->createFromSelection(&fresh, true));
    QVERIFY(office.select(loan, {"B5"}));
    QVERIFY(registry->createFromSelection(&fresh, false));
    slider(0)->slider()->setConfig(0.02, 0.08, 0.01);
    slider(1)->slider()->setConfig(0, 1000, 50);
    slider(0)->setSelected(true);
    slider(1)->setSelected(true);
    precision->setValue(12);
    runner->startOrStop(&fresh, watchWindow.get());
    QVERIFY(!ScanState::of(owner.get())->isScanning());

    const ScanGrid &grid = runner->engine().grid();
    const MinMaxMultiDimData *surface = watch(0)->data();
    QVERIFY(surface->scanComplete());
    QVERIFY(grid.totalPoints() >= 16);
    const QStringList inputs{"B2", "B3"};
    const css::uno::Reference<css::frame::XModel> model = office.model(loan);
    for (int index = 0; index < grid.totalPoints(); ++index) {
        const QList<int> positions = grid.positions(index);
        QCOMPARE(surface->value(positions),
                 fullyRecalculated(model, inputs, grid.values(positions), "B5"));
    }
    QVERIFY(office.setContent(loan, "B2", "0.05"));
    QVERIFY(office.setContent(loan, "B3", "0"));

    slider(0)->setSelected(false);
    slider(1)->setSelected(false);
    emit slider(1)->slider()->sliderPressed();
    for (double extra : {0.0, 100.0, 600.0, 300.0, 900.0}) {
        runner->sliderMoved(&fresh, slider(1), extra);
        const double shown = watch(0)->data()->values().last();
        QCOMPARE(shown, fullyRecalculated(model, {"B3"}, {extra}, "B5"));
    }
    emit slider(1)->slider()->sliderReleased();
    registry->removeAll();
    QVERIFY(office.close(loan));
}

// A watch made on a workbook that reads stale without any write of the program's (calculation set
// to manual, an input edited meanwhile) shows the fully recalculated value at once, and the
// recalculation leaves the workbook unmodified.
void TestScanOffice::newWatchShowsFullRecalculation()
{
    QTemporaryDir folder;
    const QString loan = openCopy(folder, "amortization-manual.xlsx");
    QVERIFY(!loan.isEmpty());
    QVERIFY(office.activate(loan));
    QTRY_COMPARE(application->activeWorkbook(false)->name(), loan);
    QVERIFY(office.setContent(loan, "B3", "500"));
    const css::uno::Reference<css::frame::XModel> model = office.model(loan);
    const double stale = PrivateOffice::cellOf(model, "B5")->getValue();
    QVERIFY(office.setModified(loan, false));
    registry->removeAll();
    QVERIFY(office.select(loan, {"B5"}));
    QVERIFY(registry->createFromSelection(application, false));
    const double shown = watch(0)->data()->values().last();
    QVERIFY(!office.isModified(loan));
    const double truth = fullyRecalculated(model, {"B3"}, {500}, "B5");
    QVERIFY(stale != truth);
    QCOMPARE(shown, truth);
    registry->removeAll();
    QVERIFY(office.close(loan));
}

// The office dying in the middle of a drag ends the drag with a message and no wait.
void TestScanOffice::officeDyingEndsTheDrag()
{
    QSignalSpy failures(registry, &SliderWatchRegistry::liveUpdateFailed);
    emit slider(0)->slider()->sliderPressed();
    runner->sliderMoved(application, slider(0), 6.0);
    QVERIFY(failures.isEmpty());
    office.kill();
    runner->sliderMoved(application, slider(0), 7.0);
    QCOMPARE(failures.size(), 1);
    QVERIFY(!registry->isDragging());
    emit slider(0)->slider()->sliderReleased();
}

// A stop asked for while the kernel evaluates batches of points waits, as every stop does, for
// the deferral window and a usable coarse graph, takes effect between two batches, and the cells
// get their numbers back.
void TestScanOffice::stopDuringKernelBatchesIsDeferred()
{
    // Slow enough per point, on the finest grid, that the scan outlasts the deferral window even
    // in batches of the largest size, as a fast machine or a slow program makes them.
    QVERIFY(office.setContent(bookName, "B2", "=A1+A2*10+0*SUMPRODUCT(ROW(C1:C4000))"));
    QVERIFY(office.setModified(bookName, false));
    const QStringList undo = office.undoTitles(bookName);
    for (int i : {0, 1}) {
        slider(i)->slider()->setConfig(0, 100, 1);
        slider(i)->setSelected(true);
    }
    precision->setValue(100);
    QTimer::singleShot(0, this, [&]() { ScanState::of(owner.get())->requestStop(); });
    scan();

    const ScanEngine &engine = runner->engine();
    QVERIFY(!office.extensionVersion(KernelProtocol::extensionIdentifier).isEmpty());
    QVERIFY(engine.elapsedMs() >= 150);
    // A loaded machine may not reach the coarse graph within the second a stop waits at most.
    QVERIFY(engine.pointsScanned() >= engine.grid().minPointsBeforeStop() ||
            engine.elapsedMs() > 1000);
    QVERIFY(engine.pointsScanned() < engine.totalPoints());
    QVERIFY(!watch(1)->data()->scanComplete());
    QCOMPARE(office.content(bookName, "A1"), QString("5"));
    QCOMPARE(office.content(bookName, "A2"), QString("2"));
    QCOMPARE(office.undoTitles(bookName), undo);
    QVERIFY(!office.isModified(bookName));
}

// A scan on the private offices, of a snapshot with an edit the user has not saved, stores bit
// for bit what the same scan stores in the user's office, also when one of the offices is killed
// in the middle of it; the user's workbook keeps its cells, its undo and redo history and its
// modified flag, and the offices end with the program.
void TestScanOffice::scanOnWorkersEqualsScanInTheOffice()
{
    // Slow enough per point that the scan outlasts the kill below.
    QVERIFY(office.setContent(bookName, "B2", "=A1+A2*10+0.5+0*SUMPRODUCT(ROW(C1:C2000))"));
    slider(0)->setSelected(true);
    slider(1)->setSelected(true);
    precision->setValue(40);
    ScanWorkers *workers = runner->workers();
    workers->setMode(ScanWorkers::Mode::Never);
    scan();
    const ScanGrid grid = runner->engine().grid();
    QList<double> inOffice;
    for (int index = 0; index < grid.totalPoints(); ++index)
        inOffice.append(watch(1)->data()->value(grid.positions(index)));

    // A scan in the user's office ends the redo list; one on the workers keeps it.
    QVERIFY(office.setContent(bookName, "C1", "undone"));
    QVERIFY(office.undo(bookName));
    const QStringList undo = office.undoTitles(bookName);
    const QStringList redo = office.redoTitles(bookName);
    QCOMPARE(redo.size(), 1);
    QVERIFY(office.isModified(bookName));

    workers->setMode(ScanWorkers::Mode::Always);
    qint64 killed = 0;
    connect(&runner->engine(), &ScanEngine::progressChanged, this, [&]() {
        if (killed == 0 && !workers->processIds().isEmpty()) {
            killed = workers->processIds().first();
            ::kill(pid_t(killed), SIGKILL);
        }
    });
    scan();
    QVERIFY2(workers->lastWay().contains("private office"), qPrintable(workers->lastWay()));
    QVERIFY(killed > 0);
    QVERIFY(!workers->processIds().contains(killed));
    QVERIFY(watch(1)->data()->scanComplete());
    QCOMPARE(runner->engine().grid().totalPoints(), grid.totalPoints());
    for (int index = 0; index < grid.totalPoints(); ++index) {
        const QList<int> positions = grid.positions(index);
        const QList<double> inputs = grid.values(positions);
        const double stored = watch(1)->data()->value(positions);
        QVERIFY2(sameBits(stored, inOffice[index]), qPrintable(QString::number(index)));
        QCOMPARE(stored, inputs[0] + inputs[1] * 10 + 0.5);
    }
    QCOMPARE(office.content(bookName, "A1"), QString("5"));
    QCOMPARE(office.content(bookName, "A2"), QString("2"));
    QCOMPARE(office.undoTitles(bookName), undo);
    QCOMPARE(office.redoTitles(bookName), redo);
    QVERIFY(office.isModified(bookName));

    const QList<qint64> offices = workers->processIds();
    QVERIFY(!offices.isEmpty());
    registry->removeAll();
    owner.reset();
    for (const qint64 pid : offices)
        QTRY_VERIFY(::kill(pid_t(pid), 0) != 0);
}

// A workbook whose formulas read another file is scanned in the user's office, where that file's
// values are what the user sees.
void TestScanOffice::workbookWithExternalReferenceStaysInTheOffice()
{
    QTemporaryDir folder;
    const QString other = QUrl::fromLocalFile(folder.filePath("rates.ods")).toString();
    QVERIFY(office.setContent(bookName, "C1", QString("='%1'#$Sheet1.A1").arg(other)));
    slider(0)->setSelected(true);
    runner->workers()->setMode(ScanWorkers::Mode::Always);
    scan();
    QVERIFY2(!runner->workers()->lastWay().contains("private office"),
             qPrintable(runner->workers()->lastWay()));
    QVERIFY(runner->workers()->processIds().isEmpty());
    QVERIFY(watch(0)->data()->scanComplete());
}

QTEST_MAIN(TestScanOffice)
#include "tst_scanoffice.moc"
