// Milliseconds per scan point with a real office, side by side on the same workbook: (a) a bare
// remote UNO loop, (b) the cell-by-cell exchange a scan falls back to, (c) the scan kernel inside
// the office, in one batch and in batches of 50 points, and (d) the kernel's loop reading bare
// numbers, which is the office's own cost of writing, recalculating and reading. Two workloads:
// one input and three formulas over 500 points, two inputs and three formulas over 2500 points,
// each inside a screen-updating bracket as a scan runs it.
// The office is a private headless one, started and stopped here.

#include "excel/calc/calcconnection.h"
#include "excel/calc/kernel/kernelprotocol.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"
#include "privateoffice.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/task/XJob.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstring>

using namespace css;

namespace {

const int rounds = 3;
const int chunk = 50;

struct Workload
{
    QString name;
    QStringList inputs;
    QList<QPair<QString, QString>> formulas;
    QList<qreal> values; // inputs.size() numbers per point
};

Workload oneInput()
{
    Workload work{"1 input, 3 formulas, 500 points",
                  {"A1"},
                  {{"B1", "=A1*2"}, {"C1", "=A1*A1+1"}, {"D1", "=SIN(A1)"}},
                  {}};
    for (int point = 0; point < 500; ++point)
        work.values << 0.5 + point * 0.001;
    return work;
}

Workload twoInputs()
{
    Workload work{"2 inputs, 3 formulas, 2500 points",
                  {"A1", "A2"},
                  {{"B1", "=A1*A2"}, {"C1", "=A1*A1+A2"}, {"D1", "=SIN(A1)*COS(A2)"}},
                  {}};
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x)
            work.values << 0.1 * x << 0.2 * y;
    }
    return work;
}

struct Bench
{
    VIVExcelApplication *application = nullptr;
    VIVExcelWorksheet *sheet = nullptr;
    uno::Reference<frame::XModel> model;
    uno::Reference<uno::XComponentContext> context;

    QList<VIVExcelRange *> ranges(const QStringList &addresses) const
    {
        QList<VIVExcelRange *> found;
        for (const QString &address : addresses)
            found.append(sheet->range(address, true));
        return found;
    }
};

QStringList outputs(const Workload &work)
{
    QStringList cells;
    for (const auto &formula : work.formulas)
        cells << formula.first;
    return cells;
}

double bareLoop(const Bench &bench, const Workload &work)
{
    QList<uno::Reference<table::XCell>> inputs, reads;
    for (const QString &address : work.inputs)
        inputs << PrivateOffice::cellOf(bench.model, address);
    for (const QString &address : outputs(work))
        reads << PrivateOffice::cellOf(bench.model, address);
    double sum = 0;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype i = 0; i < work.values.size();) {
        for (const uno::Reference<table::XCell> &input : std::as_const(inputs))
            input->setValue(work.values[i++]);
        for (const uno::Reference<table::XCell> &read : std::as_const(reads))
            sum += float(read->getValue());
    }
    return sum == -1 ? 0 : timer.nsecsElapsed() / 1e6;
}

double cellByCell(const Bench &bench, const Workload &work, QList<qreal> &results)
{
    const QList<VIVExcelRange *> writes = bench.ranges(work.inputs);
    const QList<VIVExcelRange *> reads = bench.ranges(outputs(work));
    results.clear();
    QElapsedTimer timer;
    timer.start();
    for (qsizetype i = 0; i < work.values.size(); i += writes.size())
        results << bench.application->setCellValuesGetCellValues(
            writes, work.values.mid(i, writes.size()), reads);
    return timer.nsecsElapsed() / 1e6;
}

double kernel(const Bench &bench, const Workload &work, int pointsPerBatch, QList<qreal> &results)
{
    const QList<VIVExcelRange *> writes = bench.ranges(work.inputs);
    const QList<VIVExcelRange *> reads = bench.ranges(outputs(work));
    const qsizetype step = pointsPerBatch * writes.size();
    results.clear();
    QElapsedTimer timer;
    timer.start();
    for (qsizetype i = 0; i < work.values.size(); i += step)
        results << bench.application->evaluatePoints(writes, work.values.mid(i, step), reads);
    return timer.nsecsElapsed() / 1e6;
}

// The kernel's loop with bare number reads, called directly with one batch.
double officeFloor(const Bench &bench, const Workload &work)
{
    const uno::Reference<task::XJob> job(
        bench.context->getServiceManager()->createInstanceWithContext(
            OUString::createFromAscii(KernelProtocol::serviceName), bench.context),
        uno::UNO_QUERY_THROW);
    auto cells = [&bench](const QStringList &addresses) {
        uno::Sequence<uno::Reference<uno::XInterface>> found(addresses.size());
        for (qsizetype i = 0; i < addresses.size(); ++i)
            found.getArray()[i] = PrivateOffice::cellOf(bench.model, addresses[i]);
        return found;
    };
    const beans::NamedValue arguments[] = {
        {"Command", uno::Any(OUString("Evaluate"))},
        {"Document", uno::Any(uno::Reference<uno::XInterface>(bench.model))},
        {"WriteCells", uno::Any(cells(work.inputs))},
        {"ReadCells", uno::Any(cells(outputs(work)))},
        {"Values", uno::Any(uno::Sequence<double>(work.values.constData(), work.values.size()))},
        {"NumbersOnly", uno::Any(true)}};
    QElapsedTimer timer;
    timer.start();
    job->execute(uno::Sequence<beans::NamedValue>(arguments, 6));
    return timer.nsecsElapsed() / 1e6;
}

bool sameBits(const QList<qreal> &a, const QList<qreal> &b)
{
    return a.size() == b.size() &&
           std::memcmp(a.constData(), b.constData(), size_t(a.size()) * sizeof(qreal)) == 0;
}

void run(Bench &bench, const Workload &work, QTextStream &out)
{
    for (const auto &[address, formula] : work.formulas)
        PrivateOffice::cellOf(bench.model, address)->setFormula(toOUString(formula));
    const double points = double(work.values.size()) / work.inputs.size();
    double bare = 1e12, exchange = 1e12, whole = 1e12, chunked = 1e12, floor = 1e12;
    QList<qreal> byCell, byKernel, byChunk;
    // As in a scan: the document locked, the writes kept out of its undo history.
    bench.application->setScreenUpdating(false);
    for (int round = 0; round < rounds; ++round) {
        bare = std::min(bare, bareLoop(bench, work));
        exchange = std::min(exchange, cellByCell(bench, work, byCell));
        whole = std::min(whole, kernel(bench, work, int(points), byKernel));
        chunked = std::min(chunked, kernel(bench, work, chunk, byChunk));
        floor = std::min(floor, officeFloor(bench, work));
    }
    bench.application->setScreenUpdating(true);
    auto line = [&](const char *label, double total) {
        out << QString("  %1 %2 ms per point (%3 x the bare loop's speed)\n")
                   .arg(label)
                   .arg(total / points, 0, 'f', 4)
                   .arg(bare / total, 0, 'f', 1);
    };
    out << work.name << ", best of " << rounds << " rounds\n";
    line("(a) bare remote UNO loop:          ", bare);
    line("(b) cell-by-cell exchange:         ", exchange);
    line("(c) kernel, one batch:             ", whole);
    line(QString("(c) kernel, batches of %1 points:  ").arg(chunk).toUtf8().constData(), chunked);
    line("(d) kernel loop, bare number reads:", floor);
    out << QString("  kernel / office floor: %1; kernel equals cell by cell bit for bit: %2\n")
               .arg(whole / floor, 0, 'f', 2)
               .arg(sameBits(byKernel, byCell) && sameBits(byChunk, byCell) ? "yes" : "NO");
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    PrivateOffice office;
    if (!office.start()) {
        out << "The office did not start.\n";
        return 1;
    }
    const std::shared_ptr<CalcConnection> direct = office.connection();

    auto application = std::make_unique<VIVExcelApplication>(ExcelBackend::attachOrStart());
    Bench bench;
    bench.application = application.get();
    bench.sheet = application->workbooks()->add(true)->worksheets()->worksheet("Sheet1", true);
    bench.context = direct->context();
    const uno::Reference<container::XEnumeration> components =
        direct->desktop()->getComponents()->createEnumeration();
    while (components->hasMoreElements() && !bench.model.is())
        bench.model.set(components->nextElement(), uno::UNO_QUERY);

    // The first batch installs the kernel; that is not what is measured.
    QElapsedTimer install;
    install.start();
    application->evaluatePoints(bench.ranges({"A1"}), {1}, bench.ranges({"A1"}));
    out << "Kernel installed and loaded in " << install.elapsed() << " ms\n";
    run(bench, oneInput(), out);
    run(bench, twoInputs(), out);

    application.reset();
    bench = Bench();
    office.stop();
    return 0;
}
