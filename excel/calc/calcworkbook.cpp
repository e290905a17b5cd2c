#include "excel/calc/calcworkbook.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcworksheets.h"

#include <com/sun/star/frame/XTitle.hpp>

using namespace css;

CalcWorkbook::CalcWorkbook(std::shared_ptr<CalcConnection> connection,
                           uno::Reference<frame::XModel> model)
    : connection(std::move(connection)), model(std::move(model))
{}

QString CalcWorkbook::describe() const
{
    return "Calc workbook";
}

QString CalcWorkbook::name()
{
    return toQString(connection->guard(
        "Workbook.Name",
        [this]() { return uno::Reference<frame::XTitle>(model, uno::UNO_QUERY_THROW)->getTitle(); },
        OUString()));
}

std::unique_ptr<ExcelWorksheets> CalcWorkbook::worksheets()
{
    return std::make_unique<CalcWorksheets>(connection, model);
}
