#ifndef SCANBATCH_H
#define SCANBATCH_H

#include "kernelcells.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <vector>

// One batch of scan points: for each point in order, its numbers are written into the write
// cells, the document recalculates as a write makes it, and every read cell is read. The whole
// batch is checked before the first write; a batch that fails half-way puts back every cell it
// wrote before the exception leaves.
class ScanBatch
{
public:
    explicit ScanBatch(const css::uno::Sequence<css::beans::NamedValue> &arguments);

    // One value per read cell and point, point after point: a number, a text, or nothing for an
    // empty cell, as the program reads a single cell.
    css::uno::Sequence<css::uno::Any> evaluate();

    const std::vector<css::uno::Reference<css::table::XCell>> &writtenCells() const
    {
        return writes;
    }

private:
    struct ReadCell
    {
        css::uno::Reference<css::table::XCell> cell;
        css::uno::Reference<css::sheet::XCellRangeData> data;
        css::uno::Reference<css::text::XText> text;
    };

    void run(css::uno::Any *results);
    void runPoints(const css::uno::Reference<css::sheet::XCalculatable> &calculation, bool full,
                   css::uno::Any *results);
    static css::uno::Any read(const ReadCell &cell);

    css::uno::Reference<css::sheet::XSpreadsheetDocument> document;
    std::vector<css::uno::Reference<css::table::XCell>> writes;
    std::vector<ReadCell> reads;
    css::uno::Sequence<double> values;
    sal_Int32 points = 0;
    bool fullRecalculation = false;
    bool numbersOnly = false;
};

#endif
