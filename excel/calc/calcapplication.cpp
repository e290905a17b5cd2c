#include "excel/calc/calcapplication.h"
#include "excel/calc/calcbracketrecovery.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernel.h"
#include "excel/calc/calcrange.h"
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

// The cells of a batch as the kernel finds them; nothing unless all are single cells of one
// document.
std::optional<QList<CalcRange *>> batchCells(const QList<ExcelRange *> &ranges,
                                             uno::Reference<frame::XModel> &document,
                                             uno::Sequence<uno::Reference<uno::XInterface>> &cells)
{
    QList<CalcRange *> found;
    cells.realloc(ranges.size());
    uno::Reference<uno::XInterface> *next = cells.getArray();
    for (ExcelRange *range : ranges) {
        auto *calcRange = dynamic_cast<CalcRange *>(range);
        const std::optional<CalcRange::BatchCell> cell =
            calcRange ? calcRange->batchCell() : std::nullopt;
        if (!cell || (document.is() && document.get() != cell->document.get()))
            return std::nullopt;
        document = cell->document;
        *next++ = cell->cell;
        found.append(calcRange);
    }
    return found;
}

QVariant toVariant(const uno::Any &value)
{
    double number = 0;
    if (value >>= number)
        return number;
    OUString text;
    if (value >>= text)
        return toQString(text);
    return QVariant();
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

std::optional<QList<QVariant>> CalcApplication::evaluatePoints(const QList<ExcelRange *> &writes,
                                                               const QList<double> &pointValues,
                                                               const QList<ExcelRange *> &reads)
{
    CalcKernel::Batch batch;
    const std::optional<QList<CalcRange *>> written =
        batchCells(writes, batch.document, batch.writeCells);
    if (!written || !batchCells(reads, batch.document, batch.readCells) ||
        !connection->kernel().ensure(*connection))
        return std::nullopt;
    // The bracket keeps what the cells held before the kernel first writes them, as for a write
    // of the program's own; a cell the program may not write leaves the batch to the exchange
    // cell by cell, which says so.
    for (CalcRange *cell : *written) {
        if (!cell->prepareWrite())
            return std::nullopt;
    }
    if (connection->writeBracket().isOpen() && !connection->kernel().isArmed())
        connection->writeBracket().armKernel(*connection);
    batch.values = uno::Sequence<double>(pointValues.constData(), pointValues.size());
    const std::optional<uno::Sequence<uno::Any>> results =
        connection->kernel().evaluate(*connection, batch);
    if (!results)
        return std::nullopt;
    QList<QVariant> values;
    values.reserve(results->getLength());
    for (const uno::Any &value : *results)
        values.append(toVariant(value));
    return values;
}
