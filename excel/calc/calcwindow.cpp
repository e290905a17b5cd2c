#include "excel/calc/calcwindow.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcrange.h"
#include "excel/calc/calcworksheet.h"

#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

using namespace css;

CalcWindow::CalcWindow(std::shared_ptr<CalcConnection> connection,
                       uno::Reference<frame::XModel> model,
                       uno::Reference<sheet::XSpreadsheetView> view)
    : connection(std::move(connection)), model(std::move(model)), view(std::move(view))
{}

QString CalcWindow::describe() const
{
    return "Calc window";
}

std::unique_ptr<ExcelWorksheet> CalcWindow::activeSheet()
{
    const uno::Reference<sheet::XSpreadsheet> sheet = connection->guard(
        "ActiveSheet", [this]() { return view->getActiveSheet(); },
        uno::Reference<sheet::XSpreadsheet>());
    if (!sheet.is())
        return nullptr;
    return std::make_unique<CalcWorksheet>(connection, model, sheet);
}

std::unique_ptr<ExcelRange> CalcWindow::rangeSelection()
{
    const uno::Reference<uno::XInterface> selection = connection->guard(
        "RangeSelection",
        [this]() {
            const uno::Any selected =
                uno::Reference<view::XSelectionSupplier>(view, uno::UNO_QUERY_THROW)
                    ->getSelection();
            uno::Reference<uno::XInterface> cells(selected, uno::UNO_QUERY);
            if (uno::Reference<sheet::XSheetCellRanges>(cells, uno::UNO_QUERY).is() ||
                uno::Reference<table::XCellRange>(cells, uno::UNO_QUERY).is())
                return cells;
            return uno::Reference<uno::XInterface>();
        },
        uno::Reference<uno::XInterface>());
    if (!selection.is())
        return nullptr;
    return std::make_unique<CalcRange>(connection, model, selection);
}
