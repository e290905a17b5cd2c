#include "scanbatch.h"
#include "kernelarguments.h"
#include "kernelprotocol.h"

#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/table/CellContentType.hpp>

#include <cmath>
#include <unordered_set>

using namespace css;

ScanBatch::ScanBatch(const uno::Sequence<beans::NamedValue> &arguments)
{
    using namespace KernelProtocol;
    const KernelArguments named(arguments);
    document = KernelCells::spreadsheet(named.find(KernelProtocol::document));
    const auto writeAddresses = named.required<uno::Sequence<uno::Reference<uno::XInterface>>>(
        writeCells, "a list of cells");
    const auto readAddresses = named.required<uno::Sequence<uno::Reference<uno::XInterface>>>(
        readCells, "a list of cells");
    values = named.required<uno::Sequence<double>>(KernelProtocol::values, "a list of numbers");
    fullRecalculation = named.optional<bool>(KernelProtocol::fullRecalculation, "a boolean", false);
    numbersOnly = named.optional<bool>(KernelProtocol::numbersOnly, "a boolean", false);

    const sal_Int32 width = writeAddresses.getLength();
    if (width == 0 || values.getLength() == 0 || values.getLength() % width != 0)
        throw KernelArguments::refusal(OUString::number(values.getLength()) +
                                       " values are not a whole number of points of " +
                                       OUString::number(width) + " write cells");
    points = values.getLength() / width;
    for (sal_Int32 i = 0; i < values.getLength(); ++i) {
        if (!std::isfinite(values[i]))
            throw KernelArguments::refusal("value " + OUString::number(i) +
                                           " is not a finite number");
    }
    writes = KernelCells::resolve(document, writeAddresses, "write cell");
    for (const uno::Reference<table::XCell> &cell :
         KernelCells::resolve(document, readAddresses, "read cell"))
        reads.push_back({cell, {cell, uno::UNO_QUERY_THROW}, {cell, uno::UNO_QUERY_THROW}});
}

uno::Sequence<uno::Any> ScanBatch::evaluate()
{
    std::vector<KernelCells::Snapshot> before;
    std::unordered_set<const void *> seen;
    for (const uno::Reference<table::XCell> &cell : writes) {
        if (seen.insert(cell.get()).second)
            before.emplace_back(cell);
    }
    uno::Sequence<uno::Any> results(points * sal_Int32(reads.size()));
    try {
        run(results.getArray());
    } catch (const uno::Exception &e) {
        for (const KernelCells::Snapshot &snapshot : before)
            snapshot.restore();
        throw uno::RuntimeException("Scan kernel: the batch failed and its cells were put back: " +
                                    e.Message);
    }
    return results;
}

// Automatic calculation is off while a fully recalculated batch runs. The office's main thread
// may read cells between two of the kernel's calls (it does so when idle); with automatic
// calculation on, such a read computes a formula over a deep chain half-way, and the full
// recalculation after it was seen to leave wrong values. Off, a read computes nothing.
void ScanBatch::run(uno::Any *results)
{
    const uno::Reference<sheet::XCalculatable> calculation(document, uno::UNO_QUERY);
    const bool full = fullRecalculation && calculation.is();
    const bool automatic = full && calculation->isAutomaticCalculationEnabled();
    if (automatic)
        calculation->enableAutomaticCalculation(false);
    try {
        runPoints(calculation, full, results);
    } catch (const uno::Exception &) {
        if (automatic)
            calculation->enableAutomaticCalculation(true);
        throw;
    }
    if (automatic)
        calculation->enableAutomaticCalculation(true);
}

void ScanBatch::runPoints(const uno::Reference<sheet::XCalculatable> &calculation, bool full,
                          uno::Any *results)
{
    const double *value = values.getConstArray();
    for (sal_Int32 point = 0; point < points; ++point) {
        for (const uno::Reference<table::XCell> &cell : writes)
            cell->setValue(*value++);
        // As the link recalculates fully: calculateAll() alone computes a formula over a deep
        // chain from the chain's values before the write.
        if (full) {
            calculation->calculate();
            calculation->calculateAll();
        }
        for (const ReadCell &cell : reads)
            *results++ = numbersOnly ? uno::Any(cell.cell->getValue()) : read(cell);
    }
}

// The office reads text, empty and error cells as 0, so any other number is the cell's number. A
// 0 is looked at again: the cell's data tells a number from a text, an empty element stands for
// an error (read as its displayed text), and an empty text is an empty cell only when the cell
// has no content.
uno::Any ScanBatch::read(const ReadCell &cell)
{
    const double number = cell.cell->getValue();
    if (number != 0)
        return uno::Any(number);
    const uno::Any element = cell.data->getDataArray()[0][0];
    double data = 0;
    if (element >>= data)
        return uno::Any(data);
    OUString text;
    if (!(element >>= text))
        return uno::Any(cell.text->getString());
    if (!text.isEmpty() || cell.cell->getType() != table::CellContentType_EMPTY)
        return uno::Any(text);
    return uno::Any();
}
