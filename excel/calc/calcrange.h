#ifndef CALCRANGE_H
#define CALCRANGE_H

#include "excel/excelrange.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <memory>
#include <optional>

class CalcConnection;

// A cell, a rectangle, or (for a selection) several rectangles of one sheet. The interfaces a
// call needs are asked for once and kept, so reading or writing a kept cell costs one call.
class CalcRange : public ExcelRange
{
public:
    CalcRange(std::shared_ptr<CalcConnection> connection,
              css::uno::Reference<css::frame::XModel> model,
              css::uno::Reference<css::uno::XInterface> cells);

    QString describe() const override;
    QVariant value() override;
    void setValue(double value) override;
    QString text() override;
    bool hasFormula() override;
    int row() override;
    int column() override;
    QString address() override;
    std::unique_ptr<ExcelWorksheet> worksheet() override;
    bool isWritable() override;
    bool restoreContent() override;
    std::optional<QStringList> filteredCells(bool formulas) override;

    // Where a batch of the scan kernel finds this cell; nothing unless it is a single cell.
    struct BatchCell
    {
        css::uno::Reference<css::frame::XModel> document;
        css::uno::Reference<css::table::XCell> cell;
    };
    std::optional<BatchCell> batchCell();
    // Readies the cell for a write of the kernel's as setValue() does for its own: false, and
    // nothing noted, for a cell that may not be written.
    bool prepareWrite();

private:
    const css::uno::Reference<css::table::XCell> &cell();
    QVariant readValue();
    const css::table::CellAddress &cellAddress();
    bool cellIsLocked();

    std::shared_ptr<CalcConnection> connection;
    css::uno::Reference<css::frame::XModel> model;
    css::uno::Reference<css::uno::XInterface> cells;
    bool cellAsked = false;
    css::uno::Reference<css::table::XCell> singleCell;
    css::uno::Reference<css::sheet::XCellRangeData> cellData;
    std::optional<css::table::CellAddress> cachedCellAddress;
};

#endif
