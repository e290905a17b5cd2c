// Milliseconds per scan point of the exchange with a real office: one input cell written and
// three formula cells depending on it read back, (a) by a bare UNO loop and (b) through the
// wrappers and setCellValuesGetCellValues, (c) as (b) inside a screen-updating bracket as a scan
// runs it. Then the milliseconds of selectionWithFilter over a selection of 10,000 cells, for
// the formula cells and for the other cells. The office is a private headless one, started and
// stopped by the tests' fixture.

#include "privateoffice.h"

#include "excel/calc/calcconnection.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelwindow.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace css;

namespace {

const int points = 3000;
const int rounds = 5;
const QStringList readCells{"B1", "C1", "D1"};

double inputAt(int point)
{
    return 0.5 + point * 0.001;
}

double bareLoop(const uno::Reference<frame::XModel> &model)
{
    const uno::Reference<table::XCell> input = PrivateOffice::cellOf(model, "A1");
    QList<uno::Reference<table::XCell>> outputs;
    for (const QString &address : readCells)
        outputs.append(PrivateOffice::cellOf(model, address));
    double sum = 0;
    QElapsedTimer timer;
    timer.start();
    for (int point = 0; point < points; ++point) {
        input->setValue(inputAt(point));
        for (const uno::Reference<table::XCell> &output : std::as_const(outputs))
            sum += float(output->getValue());
    }
    const double elapsed = timer.nsecsElapsed() / 1e6;
    return sum == -1 ? 0 : elapsed / points;
}

double wrappedLoop(VIVExcelApplication &application, VIVExcelWorksheet *sheet, bool bracket)
{
    const QList<VIVExcelRange *> writes{sheet->range("A1", true)};
    QList<VIVExcelRange *> reads;
    for (const QString &address : readCells)
        reads.append(sheet->range(address, true));
    double sum = 0;
    QElapsedTimer timer;
    timer.start();
    if (bracket)
        application.setScreenUpdating(false);
    for (int point = 0; point < points; ++point) {
        for (const qreal value :
             application.setCellValuesGetCellValues(writes, {inputAt(point)}, reads))
            sum += value;
    }
    if (bracket)
        application.setScreenUpdating(true);
    const double elapsed = timer.nsecsElapsed() / 1e6;
    return sum == -1 ? 0 : elapsed / points;
}

// A 100 by 100 block below the exchange's cells, every third cell a formula, selected.
void selectFilledBlock(const uno::Reference<frame::XModel> &model)
{
    const uno::Reference<container::XIndexAccess> sheets(
        uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(0), uno::UNO_QUERY_THROW);
    const uno::Reference<table::XCellRange> block = sheet->getCellRangeByName("A3:CV102");
    uno::Sequence<uno::Sequence<OUString>> formulas(100);
    for (sal_Int32 row = 0; row < 100; ++row) {
        formulas.getArray()[row].realloc(100);
        for (sal_Int32 column = 0; column < 100; ++column)
            formulas.getArray()[row].getArray()[column] =
                (row * 100 + column) % 3 == 0 ? OUString("=A1*2") : OUString::number(row + column);
    }
    uno::Reference<sheet::XCellRangeFormula>(block, uno::UNO_QUERY_THROW)
        ->setFormulaArray(formulas);
    uno::Reference<view::XSelectionSupplier>(model->getCurrentController(), uno::UNO_QUERY_THROW)
        ->select(uno::Any(block));
}

double filterMs(VIVExcelApplication &application, bool formulas, qsizetype &cells)
{
    QElapsedTimer timer;
    timer.start();
    const QString found = application.activeWindow(false)->selectionWithFilter(formulas);
    const double elapsed = timer.nsecsElapsed() / 1e6;
    cells = found.isEmpty() ? 0 : found.count(';') + 1;
    return elapsed;
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
    VIVExcelWorkbook *book = application->workbooks()->add(true);
    VIVExcelWorksheet *sheet = book->worksheets()->worksheet("Sheet1", true);
    uno::Reference<frame::XModel> model;
    {
        const uno::Reference<container::XEnumeration> components =
            direct->desktop()->getComponents()->createEnumeration();
        while (components->hasMoreElements() && !model.is())
            model.set(components->nextElement(), uno::UNO_QUERY);
    }
    PrivateOffice::cellOf(model, "A1")->setValue(1);
    PrivateOffice::cellOf(model, "B1")->setFormula("=A1*2");
    PrivateOffice::cellOf(model, "C1")->setFormula("=A1*A1+1");
    PrivateOffice::cellOf(model, "D1")->setFormula("=SIN(A1)");

    out << "Exchange of one written and three read cells, " << points << " points, best of "
        << rounds << " rounds\n";
    double bare = 1e9, wrapped = 1e9, bracketed = 1e9;
    for (int round = 0; round < rounds; ++round) {
        bare = std::min(bare, bareLoop(model));
        wrapped = std::min(wrapped, wrappedLoop(*application, sheet, false));
        bracketed = std::min(bracketed, wrappedLoop(*application, sheet, true));
    }
    out << QString("(a) bare UNO loop:                          %1 ms per point\n")
               .arg(bare, 0, 'f', 4);
    out << QString("(b) wrappers + setCellValuesGetCellValues:  %1 ms per point (%2 %)\n")
               .arg(wrapped, 0, 'f', 4)
               .arg((wrapped / bare - 1) * 100, 0, 'f', 1);
    out << QString("(c) as (b) inside a screen-updating bracket: %1 ms per point (%2 %)\n")
               .arg(bracketed, 0, 'f', 4)
               .arg((bracketed / bare - 1) * 100, 0, 'f', 1);

    selectFilledBlock(model);
    for (const bool formulas : {true, false}) {
        qsizetype cells = 0;
        double best = 1e9;
        for (int round = 0; round < rounds; ++round)
            best = std::min(best, filterMs(*application, formulas, cells));
        out << QString("selectionWithFilter(%1) over 10000 cells: %2 ms, %3 cells found\n")
                   .arg(formulas ? "true" : "false")
                   .arg(best, 0, 'f', 1)
                   .arg(cells);
    }
    out.flush();

    application.reset();
    model.clear();
    return 0;
}
