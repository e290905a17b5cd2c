// Milliseconds per point of scans against a private headless office, side by side in one run: a
// bare remote UNO loop that writes the points in the engine's order and reads the same cells, the
// scan engine (batched points, watches storing the values, the write bracket around the scan)
// exchanging each point cell by cell, the scan engine with the kernel inside the office, and the
// kernel's own loop reading bare numbers, which is the office's cost. One input and three
// formulas over 500 points; two inputs and three formulas over 6400 points. Then a live slider
// drag with 21 watches: milliseconds from the move to every watch repainted, and the office
// exchange alone. Last, the scan engine with the kernel over a loan from elsewhere whose lookup
// reads stale after writes (a 360-month schedule four formulas deep a month), which costs a full
// recalculation per point. The office is started and stopped here.

#include "app/liveupdate.h"
#include "app/scanengine.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernelinstaller.h"
#include "excel/calc/kernel/kernelprotocol.h"
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

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/task/XJob.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextStream>
#include <memory>

using namespace css;

namespace {

const int rounds = 3;
const QStringList readCells{"B1", "C1", "D1"};

// The same points in the same walk order, the last axis written first, as the engine does.
double bareLoop(const uno::Reference<frame::XModel> &model, const ScanGrid &grid,
                const QStringList &inputs)
{
    QList<uno::Reference<table::XCell>> writes;
    for (auto input = inputs.crbegin(); input != inputs.crend(); ++input)
        writes.append(PrivateOffice::cellOf(model, *input));
    QList<uno::Reference<table::XCell>> reads;
    for (const QString &address : readCells)
        reads.append(PrivateOffice::cellOf(model, address));
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
                  const QList<VIVExcelWatchView *> &watches)
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
    application.setScreenUpdating(false);
    QElapsedTimer timer;
    timer.start();
    engine.run();
    const double perPoint = timer.nsecsElapsed() / 1e6 / engine.pointsScanned();
    engine.finishWatches(true);
    application.setScreenUpdating(true);
    // The final repaint the scan asked for, which the program does once back in its event loop:
    // left pending, it would land in the next scan's first stop test.
    QCoreApplication::processEvents();
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

// The kernel's own loop with bare number reads over the grid's points in walk order, in one
// batch: what the office itself costs to write, recalculate and read, the floor of any scan.
double kernelReadsOnly(const std::shared_ptr<CalcConnection> &direct,
                       const uno::Reference<frame::XModel> &model, const ScanGrid &grid,
                       const QStringList &inputs)
{
    auto cells = [&model](const QStringList &addresses) {
        uno::Sequence<uno::Reference<uno::XInterface>> found(addresses.size());
        for (qsizetype i = 0; i < addresses.size(); ++i)
            found.getArray()[i] = PrivateOffice::cellOf(model, addresses[i]);
        return found;
    };
    QStringList writes;
    for (auto input = inputs.crbegin(); input != inputs.crend(); ++input)
        writes.append(*input);
    QList<double> values;
    ScanWalk walk(grid.totalPoints());
    int index = 0;
    while (walk.next(index)) {
        const QList<double> point = grid.values(grid.positions(index));
        for (auto value = point.crbegin(); value != point.crend(); ++value)
            values.append(*value);
    }
    const uno::Reference<uno::XComponentContext> context = direct->context();
    const uno::Reference<task::XJob> job(
        context->getServiceManager()->createInstanceWithContext(
            OUString::createFromAscii(KernelProtocol::serviceName), context),
        uno::UNO_QUERY_THROW);
    namespace K = KernelProtocol;
    auto named = [](const char *name, uno::Any value) {
        return beans::NamedValue(OUString::createFromAscii(name), std::move(value));
    };
    const beans::NamedValue arguments[] = {
        named(K::command, uno::Any(OUString::createFromAscii(K::evaluate))),
        named(K::document, uno::Any(uno::Reference<uno::XInterface>(model))),
        named(K::writeCells, uno::Any(cells(writes))),
        named(K::readCells, uno::Any(cells(readCells))),
        named(K::values, uno::Any(uno::Sequence<double>(values.constData(), values.size()))),
        named(K::numbersOnly, uno::Any(true))};
    QElapsedTimer timer;
    timer.start();
    job->execute(uno::Sequence<beans::NamedValue>(arguments, 6));
    return timer.nsecsElapsed() / 1e6 / grid.totalPoints();
}

// One connection of the program's with its own wrappers of the bench's workbook and three
// watches of the formulas.
struct Link
{
    explicit Link(const QString &bookName, const QString &sheetName = "Sheet1",
                  const QStringList &watched = readCells)
        : application(std::make_unique<VIVExcelApplication>(ExcelBackend::attachOrStart()))
    {
        VIVExcelWorkbook *book = application->workbooks()->workbook(bookName, true);
        sheet = book->worksheets()->worksheet(sheetName, true);
        for (const QString &address : watched) {
            auto *watch = new VIVExcelWatchView;
            watch->setRange(sheet->range(address, true));
            watch->resize(290, 330);
            watch->show();
            watches.append(watch);
        }
    }
    ~Link() { qDeleteAll(watches); }

    std::unique_ptr<VIVExcelApplication> application;
    VIVExcelWorksheet *sheet = nullptr;
    QList<VIVExcelWatchView *> watches;
};

struct Figures
{
    double bare = 1e9, bareInBracket = 1e9, cellByCell = 1e9, kernel = 1e9, readsOnly = 1e9;
};

void print(QTextStream &out, const QString &what, const Figures &f)
{
    out << what << "\n"
        << QString("  bare remote UNO loop                     %1 ms per point\n")
               .arg(f.bare, 0, 'f', 4)
        << QString("  bare remote UNO loop, document bracketed %1 ms per point\n")
               .arg(f.bareInBracket, 0, 'f', 4)
        << QString(
               "  scan engine, cell by cell     %1 ms per point (%2 % against the bare loop, %3 % "
               "against the bracketed one)\n")
               .arg(f.cellByCell, 0, 'f', 4)
               .arg((f.cellByCell / f.bare - 1) * 100, 0, 'f', 1)
               .arg((f.cellByCell / f.bareInBracket - 1) * 100, 0, 'f', 1)
        << QString("  scan engine, kernel           %1 ms per point (%2 x faster than the bare "
                   "loop, %3 x the kernel's reads-only loop)\n")
               .arg(f.kernel, 0, 'f', 4)
               .arg(f.bare / f.kernel, 0, 'f', 1)
               .arg(f.kernel / f.readsOnly, 0, 'f', 2)
        << QString("  kernel loop, bare number reads %1 ms per point\n")
               .arg(f.readsOnly, 0, 'f', 4);
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

    // The first connection finds no kernel to install and exchanges every point cell by cell.
    QTemporaryFile noPackage;
    if (!noPackage.open())
        return 1;
    noPackage.write("not a package");
    noPackage.close();
    CalcKernelInstaller::setPackage(noPackage.fileName());
    auto first = std::make_unique<VIVExcelApplication>(ExcelBackend::attachOrStart());
    const QString bookName = first->workbooks()->add(true)->name();
    auto cellByCell = std::make_unique<Link>(bookName);
    first.reset();
    cellByCell->application->evaluatePoints({cellByCell->sheet->range("A1", true)}, {1},
                                            {cellByCell->sheet->range("B1", true)});
    const uno::Reference<frame::XModel> model = office.model(bookName);
    PrivateOffice::cellOf(model, "A1")->setValue(1);
    PrivateOffice::cellOf(model, "A2")->setValue(1);
    PrivateOffice::cellOf(model, "B1")->setFormula("=A1*2+A2");
    PrivateOffice::cellOf(model, "C1")->setFormula("=A1*A1+A2");
    PrivateOffice::cellOf(model, "D1")->setFormula("=SIN(A1)*A2");

    // A second connection of the program's, which installs the kernel at its first batch.
    CalcKernelInstaller::setPackage(":/kernel/marlowin-kernel.oxt");
    ExcelBackend::configure(office.pipeName(), office.profileUrl());
    auto withKernel = std::make_unique<Link>(bookName);
    withKernel->application->evaluatePoints({withKernel->sheet->range("A1", true)}, {1},
                                            {withKernel->sheet->range("B1", true)});

    struct Workload
    {
        QString name;
        QStringList inputs;
        double maximum;
    };
    const QList<Workload> workloads{{"one input, three formulas", {"A1"}, 499},
                                    {"two inputs, three formulas", {"A1", "A2"}, 79}};
    out << "Scans against a private headless office, best of " << rounds << " rounds\n";
    for (const Workload &work : workloads) {
        auto grid = [&work](Link &link) {
            QList<VIVExcelRange *> inputs;
            for (const QString &input : work.inputs)
                inputs.append(link.sheet->range(input, true));
            return gridOver(inputs, work.maximum, 100);
        };
        const ScanGrid perCell = grid(*cellByCell);
        const ScanGrid batched = grid(*withKernel);
        Figures figures;
        for (int round = 0; round < rounds; ++round) {
            figures.bare = std::min(figures.bare, bareLoop(model, perCell, work.inputs));
            figures.cellByCell =
                std::min(figures.cellByCell,
                         engineScan(*cellByCell->application, perCell, cellByCell->watches));
            figures.kernel = std::min(
                figures.kernel, engineScan(*withKernel->application, batched, withKernel->watches));
            // As a scan runs: the workbook inside the bracket (locked, writes kept out of its
            // undo history), watched by the kernel.
            withKernel->application->setScreenUpdating(false);
            withKernel->application->evaluatePoints({withKernel->sheet->range("A1", true)}, {1},
                                                    {withKernel->sheet->range("B1", true)});
            figures.bareInBracket =
                std::min(figures.bareInBracket, bareLoop(model, perCell, work.inputs));
            figures.readsOnly =
                std::min(figures.readsOnly, kernelReadsOnly(direct, model, batched, work.inputs));
            withKernel->application->setScreenUpdating(true);
        }
        print(out, QString("%1, %2 points").arg(work.name).arg(perCell.totalPoints()), figures);
    }
    out.flush();
    cellByCell.reset();

    // A drag: 21 watches of the formulas, each move written, read back and repainted.
    VIVExcelApplication *application = withKernel->application.get();
    VIVExcelWorksheet *sheet = withKernel->sheet;
    QList<VIVExcelWatchView *> watches;
    const int moves = 60;
    for (int i = 0; i < 21; ++i) {
        auto *watch = new VIVExcelWatchView;
        watch->setRange(sheet->range(readCells[i % 3], true));
        watch->resize(290, 330);
        watch->show();
        watches.append(watch);
    }
    VIVExcelRange *a1 = sheet->range("A1", true);
    VIVExcelCellSliderView slider;
    slider.setRange(a1);
    LiveUpdate live;
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int move = 0; move < moves; ++move) {
        live.run(application, &slider, 1 + move * 0.01, {&slider}, watches);
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
    withKernel.reset();

    QTemporaryDir folder;
    const QString copy = folder.filePath("loan.xlsx");
    if (!QFile::copy(MARLOWIN_TEST_DATA_DIR "/amortization-minimum.xlsx", copy))
        return 1;
    {
        Link loan(office.open(copy), "Loan", {"B5"});
        const ScanGrid extras = gridOver({loan.sheet->range("B3", true)}, 1000, 100);
        double stale = 1e9;
        for (int round = 0; round < rounds; ++round)
            stale = std::min(stale, engineScan(*loan.application, extras, loan.watches));
        out << QString("stale loan, one input, %1 points: scan engine, kernel %2 ms per point\n")
                   .arg(extras.totalPoints())
                   .arg(stale, 0, 'f', 4);
        out.flush();
    }
    office.stop();
    return 0;
}
