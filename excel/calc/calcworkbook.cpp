#include "excel/calc/calcworkbook.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcrecalculation.h"
#include "excel/calc/calcworkbooksnapshot.h"
#include "excel/calc/calcworksheets.h"

#include <com/sun/star/document/XUndoManagerSupplier.hpp>
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

void CalcWorkbook::recalculateAfterWrites()
{
    connection->recalculation().beforeRead(*connection, model);
}

void CalcWorkbook::recalculateFully()
{
    connection->recalculation().calculateFully(*connection, model);
}

bool CalcWorkbook::enterUndoContext(const QString &title)
{
    return connection->guard(
        "enterUndoContext",
        [this, &title]() {
            uno::Reference<document::XUndoManagerSupplier>(model, uno::UNO_QUERY_THROW)
                ->getUndoManager()
                ->enterUndoContext(toOUString(title));
            return true;
        },
        false);
}

// A hidden context's actions merge into the action before it when it is left.
bool CalcWorkbook::joinLastUndoStep()
{
    return connection->guard(
        "enterHiddenUndoContext",
        [this]() {
            uno::Reference<document::XUndoManagerSupplier>(model, uno::UNO_QUERY_THROW)
                ->getUndoManager()
                ->enterHiddenUndoContext();
            return true;
        },
        false);
}

void CalcWorkbook::leaveUndoContext()
{
    connection->guard("leaveUndoContext", [this]() {
        uno::Reference<document::XUndoManagerSupplier>(model, uno::UNO_QUERY_THROW)
            ->getUndoManager()
            ->leaveUndoContext();
    });
}

QString CalcWorkbook::copyProblem()
{
    return CalcWorkbookSnapshot(connection, model).problem();
}

QString CalcWorkbook::storeSnapshot(const QString &folder)
{
    return CalcWorkbookSnapshot(connection, model).store(folder);
}
