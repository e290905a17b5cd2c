// Sweeps through the pool of private offices, start-up included, as marlowin-sweep runs them:
// (a) 400 points (20 x 20) of amortization-detailed.xlsx and of heavier generated portfolios of
// 4, 8 and 16 loans saved as .xlsx, workbooks bound by the office's own recalculation, with 1 job
// and with 2; (b) the start-up of one worker (office, kernel, copy); (c) on a small model (one
// input, three formulas) the pool's cost per point once its offices run, with 1 job and with 2,
// beside the kernel's own loop that writes, lets the office recalculate and reads bare numbers,
// with and without the full recalculation the pool does at every point. Best of three rounds;
// prints ratios.

#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernelinstaller.h"
#include "excel/calc/kernel/kernelprotocol.h"
#include "excel/excelbackend.h"
#include "heavyworkbook.h"
#include "privateoffice.h"

#include <com/sun/star/beans/NamedValue.hpp>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

using namespace css;

namespace {

const int rounds = 3;
const int smallPoints = 20000;

struct Timing
{
    double startSeconds = 1e12;
    double totalSeconds = 1e12;
    double evaluateSeconds = 1e12;
};

struct Sweep
{
    QString workbook;
    QStringList inputs;
    QStringList watches;
    qint64 points = 0;
    SweepPool::PointValues values;
};

bool measure(const Sweep &sweep, int workers, Timing &best)
{
    const std::unique_ptr<SweepPool> pool = ExcelBackend::createSweepPool();
    QElapsedTimer timer;
    timer.start();
    SweepPool::Cells cells;
    QString message;
    if (pool->start({sweep.workbook, sweep.inputs, sweep.watches, workers}, &cells, &message) !=
        SweepPool::Outcome::Done) {
        QTextStream(stderr) << "cannot start the pool: " << message << "\n";
        return false;
    }
    QList<double> results;
    // Every office opens its copy before it takes points; no points readies them all.
    if (pool->evaluate(0, sweep.values, &results, {}) != SweepPool::Outcome::Done)
        return false;
    const double started = timer.nsecsElapsed() / 1e9;
    if (pool->evaluate(sweep.points, sweep.values, &results, {}) != SweepPool::Outcome::Done)
        return false;
    const double total = timer.nsecsElapsed() / 1e9;
    pool->stop();
    best.startSeconds = std::min(best.startSeconds, started);
    best.totalSeconds = std::min(best.totalSeconds, total);
    best.evaluateSeconds = std::min(best.evaluateSeconds, total - started);
    return true;
}

// 20 x 20 points over the principal B1 and the extra payment B3, watching B4 and B5.
Sweep loans(const QString &workbook)
{
    Sweep sweep{workbook, {"B1", "B3"}, {"B4", "B5"}, 400, [](qint64 point) {
                    return QList<double>{150000.0 + 5000.0 * double(point % 20),
                                         100.0 * double(point / 20)};
                }};
    return sweep;
}

bool compareJobs(QTextStream &out, const QString &name, const Sweep &sweep, Timing *oneJob)
{
    Timing one;
    Timing two;
    for (int round = 0; round < rounds; ++round) {
        if (!measure(sweep, 1, one) || !measure(sweep, 2, two))
            return false;
    }
    out << name << ", " << sweep.points << " points, start-up included:\n"
        << QString("  1 job:  %1 s (start-up %2 s, %3 ms/point after it)\n")
               .arg(one.totalSeconds, 0, 'f', 2)
               .arg(one.startSeconds, 0, 'f', 2)
               .arg(one.evaluateSeconds * 1000 / sweep.points, 0, 'f', 2)
        << QString("  2 jobs: %1 s (start-up %2 s)\n")
               .arg(two.totalSeconds, 0, 'f', 2)
               .arg(two.startSeconds, 0, 'f', 2)
        << QString("  2 jobs against 1: %1x\n").arg(one.totalSeconds / two.totalSeconds, 0, 'f', 2);
    out.flush();
    if (oneJob)
        *oneJob = one;
    return true;
}

QString writeSmallModel(const QTemporaryDir &folder)
{
    const QString path = folder.filePath("small.fods");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.3"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Sheet1"><table:table-row>
 <table:table-cell office:value-type="float" office:value="0.5"/>
 <table:table-cell table:formula="of:=[.A1]*2"/>
 <table:table-cell table:formula="of:=[.A1]*[.A1]+1"/>
 <table:table-cell table:formula="of:=SIN([.A1])"/>
</table:table-row></table:table></office:spreadsheet></office:body></office:document>
)xml");
    return path;
}

double smallValue(qint64 point)
{
    return 0.5 + double(point) * 0.001;
}

struct Floors
{
    double readsOnly = -1;
    double fullRecalculation = -1;
};

// The kernel's loop over the same points in a private office: writes, the office's own
// recalculation (and a full one at every point when asked), bare numbers read. Milliseconds per
// point.
double kernelLoop(PrivateOffice &office, const QString &title, bool fullRecalculation)
{
    const uno::Reference<frame::XModel> model = office.model(title);
    const uno::Reference<task::XJob> job =
        CalcKernelInstaller::load(office.connection()->context());
    const uno::Reference<uno::XInterface> input = PrivateOffice::cellOf(model, "A1");
    const uno::Reference<uno::XInterface> outputs[] = {PrivateOffice::cellOf(model, "B1"),
                                                       PrivateOffice::cellOf(model, "C1"),
                                                       PrivateOffice::cellOf(model, "D1")};
    const uno::Sequence<uno::Reference<uno::XInterface>> writes(&input, 1);
    const uno::Sequence<uno::Reference<uno::XInterface>> reads(outputs, 3);
    uno::Sequence<double> values(smallPoints);
    for (int i = 0; i < smallPoints; ++i)
        values.getArray()[i] = smallValue(i);
    using namespace KernelProtocol;
    const beans::NamedValue arguments[] = {
        {command, uno::Any(OUString::createFromAscii(KernelProtocol::evaluate))},
        {document, uno::Any(uno::Reference<uno::XInterface>(model))},
        {writeCells, uno::Any(writes)},
        {readCells, uno::Any(reads)},
        {KernelProtocol::values, uno::Any(values)},
        {numbersOnly, uno::Any(true)},
        {KernelProtocol::fullRecalculation, uno::Any(fullRecalculation)}};
    double best = 1e12;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        job->execute(uno::Sequence<beans::NamedValue>(arguments, sal_Int32(std::size(arguments))));
        best = std::min(best, timer.nsecsElapsed() / 1e6 / smallPoints);
    }
    return best;
}

Floors kernelFloors(const QString &workbook)
{
    Floors floors;
    PrivateOffice office;
    if (!office.start())
        return floors;
    try {
        const QString title = office.open(workbook);
        floors.readsOnly = kernelLoop(office, title, false);
        floors.fullRecalculation = kernelLoop(office, title, true);
    } catch (const uno::Exception &e) {
        QTextStream(stderr) << "the kernel's loop failed: " << toQString(e.Message) << "\n";
    }
    return floors;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    out << "Sweeps through the pool of offices (best of " << rounds << " rounds)\n";

    Timing amortization;
    if (!compareJobs(out, "amortization-detailed.xlsx",
                     loans(QDir(MARLOWIN_TEST_DATA_DIR).filePath("amortization-detailed.xlsx")),
                     &amortization))
        return 1;
    out << QString("one worker's start-up (office, kernel, copy opened): %1 s\n")
               .arg(amortization.startSeconds, 0, 'f', 2);
    QTemporaryDir folder;
    for (const int loanCount : {4, 8, 16}) {
        const QString portfolio = HeavyWorkbook::writeXlsx(folder.path(), loanCount);
        if (portfolio.isEmpty() ||
            !compareJobs(out, QString("a portfolio of %1 loans (.xlsx)").arg(loanCount),
                         loans(portfolio), nullptr))
            return 1;
    }

    const QString small = writeSmallModel(folder);
    const Sweep light{small, {"A1"}, {"B1", "C1", "D1"}, smallPoints, [](qint64 point) {
                          return QList<double>{smallValue(point)};
                      }};
    const Floors floors = kernelFloors(small);
    out << "small model (1 input, 3 formulas), " << smallPoints << " points:\n"
        << QString("  kernel's reads-only loop: %1 ms/point\n").arg(floors.readsOnly, 0, 'f', 4)
        << QString("  the same loop recalculating fully: %1 ms/point\n")
               .arg(floors.fullRecalculation, 0, 'f', 4);
    for (const int jobs : {1, 2}) {
        Timing pooled;
        for (int round = 0; round < rounds; ++round) {
            if (!measure(light, jobs, pooled))
                return 1;
        }
        const double perPoint = pooled.evaluateSeconds * 1000 / smallPoints;
        out << QString("  pool, %1 job(s), after start-up: %2 ms/point: %3x the reads-only loop, "
                       "%4x the loop recalculating fully\n")
                   .arg(jobs)
                   .arg(perPoint, 0, 'f', 4)
                   .arg(perPoint / floors.readsOnly, 0, 'f', 2)
                   .arg(perPoint / floors.fullRecalculation, 0, 'f', 2);
    }
    return 0;
}
