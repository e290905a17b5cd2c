#include "excel/calc/calcworksheets.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcworksheet.h"

#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>

using namespace css;

CalcWorksheets::CalcWorksheets(std::shared_ptr<CalcConnection> connection,
                               uno::Reference<frame::XModel> model)
    : connection(std::move(connection)), model(std::move(model))
{}

QString CalcWorksheets::describe() const
{
    return "Calc worksheets";
}

std::unique_ptr<ExcelWorksheet> CalcWorksheets::item(const QString &name)
{
    const uno::Reference<sheet::XSpreadsheet> sheet = connection->guard(
        "Worksheets.Item",
        [this, &name]() {
            const uno::Reference<sheet::XSpreadsheets> sheets =
                uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY_THROW)
                    ->getSheets();
            const OUString key = toOUString(name);
            if (!sheets->hasByName(key))
                return uno::Reference<sheet::XSpreadsheet>();
            return uno::Reference<sheet::XSpreadsheet>(sheets->getByName(key), uno::UNO_QUERY);
        },
        uno::Reference<sheet::XSpreadsheet>());
    if (!sheet.is())
        return nullptr;
    return std::make_unique<CalcWorksheet>(connection, model, sheet);
}
