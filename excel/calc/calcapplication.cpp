#include "excel/calc/calcapplication.h"
#include "excel/calc/calcbracketrecovery.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcwindow.h"
#include "excel/calc/calcworkbook.h"
#include "excel/calc/calcworkbooks.h"
#include "excel/calc/calcwritebracket.h"

#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>

using namespace css;

namespace {

uno::Reference<frame::XModel> currentSpreadsheet(CalcConnection &connection)
{
    return connection.guard(
        "ActiveWorkbook",
        [&connection]() {
            const uno::Reference<sheet::XSpreadsheetDocument> document(
                connection.desktop()->getCurrentComponent(), uno::UNO_QUERY);
            return uno::Reference<frame::XModel>(document, uno::UNO_QUERY);
        },
        uno::Reference<frame::XModel>());
}

} // namespace

// Attaching is where a program that died inside a write bracket gets its documents repaired.
CalcApplication::CalcApplication(std::shared_ptr<CalcConnection> connection)
    : connection(std::move(connection))
{
    CalcBracketRecovery::replayAbandoned(*this->connection);
}

QString CalcApplication::describe() const
{
    return QString("LibreOffice Calc, connection %1").arg(connection->id());
}

qint64 CalcApplication::hwnd()
{
    return connection->answers() ? connection->id() : 0;
}

std::unique_ptr<ExcelWorkbook> CalcApplication::activeWorkbook()
{
    const uno::Reference<frame::XModel> model = currentSpreadsheet(*connection);
    if (!model.is())
        return nullptr;
    return std::make_unique<CalcWorkbook>(connection, model);
}

std::unique_ptr<ExcelWindow> CalcApplication::activeWindow()
{
    const uno::Reference<frame::XModel> model = currentSpreadsheet(*connection);
    if (!model.is())
        return nullptr;
    const uno::Reference<sheet::XSpreadsheetView> view = connection->guard(
        "ActiveWindow",
        [&model]() {
            return uno::Reference<sheet::XSpreadsheetView>(model->getCurrentController(),
                                                           uno::UNO_QUERY);
        },
        uno::Reference<sheet::XSpreadsheetView>());
    if (!view.is())
        return nullptr;
    return std::make_unique<CalcWindow>(connection, model, view);
}

std::unique_ptr<ExcelWorkbooks> CalcApplication::workbooks()
{
    return std::make_unique<CalcWorkbooks>(connection);
}

void CalcApplication::setVisible(bool visible)
{
    const uno::Reference<frame::XModel> model = currentSpreadsheet(*connection);
    if (!model.is())
        return;
    connection->guard("Visible", [&model, visible]() {
        const uno::Reference<frame::XController> controller = model->getCurrentController();
        if (controller.is() && controller->getFrame().is())
            controller->getFrame()->getContainerWindow()->setVisible(visible);
    });
}

void CalcApplication::setEnableEvents(bool)
{
    // Calc always delivers the change notifications the sheets listen to.
}

void CalcApplication::setScreenUpdating(bool updating)
{
    CalcWriteBracket &bracket = connection->writeBracket();
    if (updating)
        bracket.end(*connection);
    else
        bracket.begin(*connection, CalcWorkbooks::spreadsheetModels(*connection));
}
