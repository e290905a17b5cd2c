#include "app/scanengine.h"
#include "app/scanstate.h"

#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelwindow.h"
#include "fakeexcel.h"
#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {

ScanDimension axis(VIVExcelRange *range, double minimum, double maximum, double step)
{
    ScanDimension dimension;
    dimension.range = range;
    dimension.minimum = minimum;
    dimension.maximum = maximum;
    dimension.step = step;
    dimension.label = range->address();
    return dimension;
}

// Keeps a formula busy for a while, as a slow workbook would.
void spin(qint64 nanoseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.nsecsElapsed() < nanoseconds) {
    }
}

// A spreadsheet with inputs A1 and A2 and formulas in B1 (2 x A1 + 10 x A2) and C1 (A1 squared).
struct Sheet
{
    explicit Sheet(qint64 handle = 1, qint64 formulaNs = 0)
    {
        excel.setValue("A1", 5.0);
        excel.setValue("A2", 0.0);
        excel.setFormula("B1", [formulaNs](FakeExcel &x) {
            spin(formulaNs);
            return QVariant(2 * x.number("A1") + 10 * x.number("A2"));
        });
        excel.setFormula("C1",
                         [](FakeExcel &x) { return QVariant(x.number("A1") * x.number("A1")); });
        application = std::make_unique<VIVExcelApplication>(excel.application(handle));
        VIVExcelSheet *sheet = application->activeWindow(true)->activeSheet(true);
        for (const char *cell : {"A1", "A2", "B1", "C1"})
            ranges[cell] = sheet->range(cell, true);
        for (const char *cell : {"B1", "C1"}) {
            auto *watch = new VIVExcelWatchView;
            watch->setRange(ranges[cell]);
            watches.append(watch);
        }
    }
    ~Sheet() { qDeleteAll(watches); }

    // The values written into a cell, in order.
    QList<double> writes(const QString &cell) const
    {
        QList<double> values;
        const QRegularExpression pattern("^SetValue Sheet1!" + cell + " (.*)$");
        for (const QString &line : excel.calls()) {
            const QRegularExpressionMatch match = pattern.match(line);
            if (match.hasMatch())
                values.append(match.captured(1).toDouble());
        }
        return values;
    }

    FakeExcel excel;
    std::unique_ptr<VIVExcelApplication> application;
    QHash<QString, VIVExcelRange *> ranges;
    QList<VIVExcelWatchView *> watches;
};

std::unique_ptr<ScanEngine> engineFor(Sheet &sheet, QObject &controller,
                                      const QList<ScanDimension> &axes, int zoom = 30)
{
    auto engine = std::make_unique<ScanEngine>(&controller);
    ScanGrid grid(axes);
    grid.size(zoom);
    engine->setApplication(sheet.application.get());
    engine->setGrid(grid);
    engine->setWatches(sheet.watches);
    QList<int> positions(axes.size(), 0);
    for (int i = 0; i < positions.size() && i < 2; ++i)
        positions[i] = -1;
    engine->prepareWatches(positions);
    return engine;
}

} // namespace

class TestScanEngine : public QObject
{
    Q_OBJECT

private slots:
    void oneAxisStoresEveryPointInWalkOrder();
    void twoAxesWriteTheLastAxisFirst();
    void stopIsDeferredUntilAUsableGraph();
    void refusedWriteEndsTheScan();
    void vanishedOfficeEndsTheScan();
    void progressTexts();
};

void TestScanEngine::oneAxisStoresEveryPointInWalkOrder()
{
    Sheet sheet;
    QObject controller;
    auto engine = engineFor(sheet, controller, {axis(sheet.ranges["A1"], 0, 10, 1)});
    QCOMPARE(engine->run(), ScanEngine::Outcome::Completed);
    QCOMPARE(engine->pointsScanned(), 11);
    QCOMPARE(sheet.writes("A1"), (QList<double>{0, 10, 8, 4, 6, 2, 1, 3, 5, 7, 9}));
    for (int i = 0; i <= 10; ++i) {
        QCOMPARE(sheet.watches[0]->data()->value({i}), 2.0 * i);
        QCOMPARE(sheet.watches[1]->data()->value({i}), double(i * i));
    }
    QCOMPARE(sheet.watches[0]->data()->graphDepth(), GraphDepthCurve);
}

void TestScanEngine::twoAxesWriteTheLastAxisFirst()
{
    Sheet sheet;
    QObject controller;
    auto engine = engineFor(sheet, controller,
                            {axis(sheet.ranges["A1"], 0, 2, 1), axis(sheet.ranges["A2"], 0, 1, 1)});
    QCOMPARE(engine->run(), ScanEngine::Outcome::Completed);
    QCOMPARE(engine->totalPoints(), 6);
    const QStringList calls = sheet.excel.calls();
    const qsizetype firstA2 = calls.indexOf(QRegularExpression("^SetValue Sheet1!A2 .*"));
    const qsizetype firstA1 = calls.indexOf(QRegularExpression("^SetValue Sheet1!A1 .*"));
    QVERIFY(firstA2 >= 0 && firstA2 < firstA1);
    for (int a = 0; a <= 2; ++a) {
        for (int b = 0; b <= 1; ++b)
            QCOMPARE(sheet.watches[0]->data()->value({a, b}), 2.0 * a + 10.0 * b);
    }
    QCOMPARE(sheet.watches[0]->data()->graphDepth(), GraphDepthSurface);
}

// A stop asked for at once waits for the deferral window and for a usable coarse graph.
void TestScanEngine::stopIsDeferredUntilAUsableGraph()
{
    Sheet small;
    QObject controller;
    ScanState::of(&controller)->requestStop();
    auto quick = engineFor(small, controller, {axis(small.ranges["A1"], 0, 10, 1)});
    QCOMPARE(quick->run(), ScanEngine::Outcome::Completed);

    Sheet slow(1, 200000);
    auto engine =
        engineFor(slow, controller,
                  {axis(slow.ranges["A1"], 0, 100, 1), axis(slow.ranges["A2"], 0, 100, 1)}, 100);
    QCOMPARE(engine->run(), ScanEngine::Outcome::Stopped);
    QVERIFY(engine->elapsedMs() >= 150);
    QVERIFY(engine->pointsScanned() >= engine->grid().minPointsBeforeStop());
    QVERIFY(engine->pointsScanned() < engine->totalPoints());
}

// A cell that does not take the write (here a formula cell) is found at the first point.
void TestScanEngine::refusedWriteEndsTheScan()
{
    Sheet sheet;
    QObject controller;
    auto engine = engineFor(sheet, controller, {axis(sheet.ranges["C1"], 0, 10, 1)});
    QCOMPARE(engine->run(), ScanEngine::Outcome::WriteRefused);
    QCOMPARE(engine->pointsScanned(), 1);
}

// Reads from an office that no longer answers are all missing; the scan ends at once.
void TestScanEngine::vanishedOfficeEndsTheScan()
{
    Sheet sheet(0);
    sheet.watches[0]->setRange(sheet.ranges["A2"]);
    sheet.excel.books.clear();
    QObject controller;
    auto engine = engineFor(sheet, controller, {axis(sheet.ranges["A1"], 0, 10, 1)});
    QCOMPARE(engine->run(), ScanEngine::Outcome::OfficeGone);
}

void TestScanEngine::progressTexts()
{
    Sheet sheet;
    QObject controller;
    auto engine = engineFor(sheet, controller, {axis(sheet.ranges["A1"], 0, 10, 1)});
    QCOMPARE(engine->progressText(1), QString("0.0% scanned"));
    QCOMPARE(engine->progressText(2), QString());
    engine->run();
    QCOMPARE(engine->progressText(1), QString("100% scanned"));
    QVERIFY(engine->progressText(0).endsWith(" s remain."));
    QCOMPARE(engine->progressText(3), QString("11 points"));
    QCOMPARE(engine->progressText(4), QString("Stop Scan"));
}

QTEST_MAIN(TestScanEngine)
#include "tst_scanengine.moc"
