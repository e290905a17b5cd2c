// Milliseconds per point of scans against a private headless office: the scan engine (batched
// points, watches storing the values, the write bracket around the scan) beside a bare UNO loop
// that writes the same points in the same order and reads the same cells. One input and three
// formulas over 500 points; two inputs and three formulas over 6400 points. Then a live slider
// drag with 21 watches: milliseconds from the move to every watch repainted, and the office
// exchange alone. The office is started and stopped here.

#include "app/liveupdate.h"
#include "app/scanengine.h"
#include "excel/calc/calcconnection.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"
#include "graph/minmaxmultidimdata.h"
#include "privateoffice.h"
#include "sliders/vivexcelcellsliderview.h"
#include "watches/vivexcelwatchview.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <memory>

using namespace css;

namespace {

const int rounds = 3;
const QStringList readCells{"B1", "C1", "D1"};

uno::Reference<table::XCell> rawCell(const uno::Reference<frame::XModel> &model,
                                     const QString &address)
{
    const uno::Reference<container::XIndexAccess> sheets(
        uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(0), uno::UNO_QUERY_THROW);
    return uno::Reference<table::XCell>(sheet->getCellRangeByName(toOUString(address)),
                                        uno::UNO_QUERY_THROW);
}

// The same points in the same walk order, the last axis written first, as the engine does.
double bareLoop(const uno::Reference<frame::XModel> &model, const ScanGrid &grid,
                const QStringList &inputs)
{
    QList<uno::Reference<table::XCell>> writes;
    for (auto input = inputs.crbegin(); input != inputs.crend(); ++input)
        writes.append(rawCell(model, *input));
    QList<uno::Reference<table::XCell>> reads;
    for (const QString &address : readCells)
        reads.append(rawCell(model, address));
    ScanWalk walk(grid.totalPoints());
    double sum = 0;
    int index = 0;
    QElapsedTimer timer;
    timer.start();
    while (walk.next(index)) {
        const QList<double> values = grid.values(grid.positions(index));
        for (qsizetype i = 0; i < writes.size(); ++i)
            writes[i]->setValue(values[values.size() - 1 - i]);
        for (const uno::Reference<table::XCell> &read : std::as_const(reads))
            sum += float(read->getValue());
    }
    const double elapsed = timer.nsecsElapsed() / 1e6;
    return sum == -1 ? 0 : elapsed / grid.totalPoints();
}

double engineScan(VIVExcelApplication &application, const ScanGrid &grid,
                  const QList<VIVExcelWatchView *> &watches, bool bracket = true)
{
    QObject controller;
    ScanEngine engine(&controller);
    engine.setApplication(&application);
    engine.setGrid(grid);
    engine.setWatches(watches);
    // As a scan runs them: repaints at most once a second, fast drawing on.
    for (VIVExcelWatchView *watch : watches) {
        watch->setCanUseFastDraw(true);
        watch->setMinRepaintInterval(1000);
        watch->restartRepaintClock();
    }
    engine.prepareWatches(QList<int>(grid.dimensions().size(), -1));
    if (bracket)
        application.setScreenUpdating(false);
    QElapsedTimer timer;
    timer.start();
    engine.run();
    const double perPoint = timer.nsecsElapsed() / 1e6 / engine.pointsScanned();
    engine.finishWatches(true);
    if (bracket)
        application.setScreenUpdating(true);
    return perPoint;
}

ScanGrid gridOver(const QList<VIVExcelRange *> &inputs, double maximum, int zoom)
{
    QList<ScanDimension> axes;
    for (VIVExcelRange *input : inputs) {
        ScanDimension axis;
        axis.range = input;
        axis.maximum = maximum;
        axis.step = 1;
        axes.append(axis);
    }
    ScanGrid grid(axes);
    grid.size(zoom);
    return grid;
}

void compare(QTextStream &out, const QString &what, double bare, double engine)
{
    out << QString("%1: bare UNO loop %2 ms per point, scan engine %3 ms per point (%4 %)\n")
               .arg(what)
               .arg(bare, 0, 'f', 4)
               .arg(engine, 0, 'f', 4)
               .arg((engine / bare - 1) * 100, 0, 'f', 1);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    PrivateOffice office;
    if (!office.start()) {
        out << "The office did not start.\n";
        return 1;
    }
    const std::shared_ptr<CalcConnection> direct = office.connection();

    auto application = std::make_unique<VIVExcelApplication>(ExcelBackend::attachOrStart());
    VIVExcelWorkbook *book = application->workbooks()->add(true);
    VIVExcelWorksheet *sheet = book->worksheets()->worksheet("Sheet1", true);
    uno::Reference<frame::XModel> model;
    {
        const uno::Reference<container::XEnumeration> components =
            direct->desktop()->getComponents()->createEnumeration();
        while (components->hasMoreElements() && !model.is())
            model.set(components->nextElement(), uno::UNO_QUERY);
    }
    rawCell(model, "A1")->setValue(1);
    rawCell(model, "A2")->setValue(1);
    rawCell(model, "B1")->setFormula("=A1*2+A2");
    rawCell(model, "C1")->setFormula("=A1*A1+A2");
    rawCell(model, "D1")->setFormula("=SIN(A1)*A2");
    QList<VIVExcelWatchView *> watches;
    for (const QString &address : readCells) {
        auto *watch = new VIVExcelWatchView;
        watch->setRange(sheet->range(address, true));
        watch->resize(290, 330);
        watch->show();
        watches.append(watch);
    }
    VIVExcelRange *a1 = sheet->range("A1", true);
    VIVExcelRange *a2 = sheet->range("A2", true);

    out << "Scans of three formulas, best of " << rounds << " rounds\n";
    const ScanGrid one = gridOver({a1}, 499, 100);
    const ScanGrid two = gridOver({a1, a2}, 79, 100);
    double bareOne = 1e9, engineOne = 1e9, bareTwo = 1e9, engineTwo = 1e9;
    for (int round = 0; round < rounds; ++round) {
        bareOne = std::min(bareOne, bareLoop(model, one, {"A1"}));
        engineOne = std::min(engineOne, engineScan(*application, one, watches));
        bareTwo = std::min(bareTwo, bareLoop(model, two, {"A1", "A2"}));
        engineTwo = std::min(engineTwo, engineScan(*application, two, watches));
    }
    compare(out, QString("one input, %1 points").arg(one.totalPoints()), bareOne, engineOne);
    compare(out, QString("two inputs, %1 points").arg(two.totalPoints()), bareTwo, engineTwo);
    double unbracketed = 1e9;
    for (int round = 0; round < rounds; ++round)
        unbracketed = std::min(unbracketed, engineScan(*application, one, watches, false));
    compare(out, "one input, engine without the write bracket", bareOne, unbracketed);
    qDeleteAll(watches);
    watches.clear();

    // A drag: 21 watches of the formulas, each move written, read back and repainted.
    const int moves = 60;
    for (int i = 0; i < 21; ++i) {
        auto *watch = new VIVExcelWatchView;
        watch->setRange(sheet->range(readCells[i % 3], true));
        watch->resize(290, 330);
        watch->show();
        watches.append(watch);
    }
    VIVExcelCellSliderView slider;
    slider.setRange(a1);
    LiveUpdate live;
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    double exchange = 0;
    timer.start();
    for (int move = 0; move < moves; ++move) {
        QElapsedTimer call;
        call.start();
        live.run(application.get(), &slider, 1 + move * 0.01, {&slider}, watches);
        exchange += call.nsecsElapsed() / 1e6;
        for (VIVExcelWatchView *watch : std::as_const(watches))
            watch->repaint();
    }
    const double perMove = timer.nsecsElapsed() / 1e6 / moves;
    QList<VIVExcelRange *> reads;
    for (VIVExcelWatchView *watch : std::as_const(watches))
        reads.append(watch->range());
    timer.start();
    for (int move = 0; move < moves; ++move)
        application->setCellValuesGetCellValues({a1}, {1 + move * 0.01}, reads);
    const double officeOnly = timer.nsecsElapsed() / 1e6 / moves;
    out << QString("live drag, 21 watches: %1 ms from move to all repainted; the office "
                   "exchange alone %2 ms\n")
               .arg(perMove, 0, 'f', 2)
               .arg(officeOnly, 0, 'f', 2);
    out.flush();
    qDeleteAll(watches);

    application.reset();
    model.clear();
    office.stop();
    return 0;
}
