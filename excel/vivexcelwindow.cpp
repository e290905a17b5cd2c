#include "excel/vivexcelwindow.h"
#include "excel/exceladdressblock.h"
#include "excel/excelrange.h"
#include "excel/excelwindow.h"
#include "excel/excelworksheet.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"

namespace {

// A selection the walk would go through cell by cell (one rectangle of named cells within the
// walk's limit) is asked of the spreadsheet at once: the same cells without a call per cell.
std::optional<QStringList> filteredInBulk(VIVExcelRange *selection, bool formulas)
{
    const ExcelAddressBlock block(selection->address(), false);
    const qint64 cells = (qint64(block.lastRow()) - block.firstRow() + 1) *
                         (qint64(block.lastColumn()) - block.firstColumn() + 1);
    if (!block.singleArea() || !block.valid() || block.entireRows() || block.entireColumns() ||
        cells > ExcelAddressBlock::maxWalkedCells)
        return std::nullopt;
    return selection->filteredCells(formulas);
}

} // namespace

VIVExcelWindow::VIVExcelWindow(std::unique_ptr<ExcelObject> object, QObject *parent)
    : VIVExcelBase(parent)
{
    setObject(std::move(object));
}

std::unique_ptr<ExcelObject> VIVExcelWindow::createObject()
{
    return nullptr;
}

VIVExcelRange *VIVExcelWindow::rangeSelection(bool keep)
{
    auto *window = dynamic_cast<ExcelWindow *>(object());
    return kept(new VIVExcelRange(window ? window->rangeSelection() : nullptr, this), keep);
}

VIVExcelSheet *VIVExcelWindow::activeSheet(bool keep)
{
    auto *window = dynamic_cast<ExcelWindow *>(object());
    return kept(new VIVExcelSheet(window ? window->activeSheet() : nullptr, this), keep);
}

QString VIVExcelWindow::selectionWithFilter(bool formulas)
{
    VIVExcelRange *selection = rangeSelection(false);
    if (const std::optional<QStringList> cells = filteredInBulk(selection, formulas)) {
        delete selection;
        return cells->join(";");
    }
    filterSheet = activeSheet(false);
    filterFormulas = formulas;
    filteredCells.clear();
    connect(selection, &VIVExcelRange::rangeIterated, this,
            &VIVExcelWindow::rangeIteratedForSelectionWithFilter);
    selection->iterateCells(true);
    delete selection;
    // The sheet is a temporary wrapper: announcements after the walk must not reach it.
    filterSheet = nullptr;
    const QString result = filteredCells.join(";");
    filteredCells.clear();
    return result;
}

void VIVExcelWindow::rangeIteratedForSelectionWithFilter(ExcelAddressBlock *block)
{
    if (!block->isSingleCell() || !filterSheet)
        return;
    VIVExcelRange *cell = filterSheet->range(block->address(), false);
    const bool formula = cell->hasFormula();
    if (filterFormulas) {
        if (formula)
            filteredCells.append(block->address());
        return;
    }
    if (formula)
        return;
    const QVariant value = cell->value();
    const bool emptyText = value.typeId() == QMetaType::QString && value.toString().isEmpty();
    if (!emptyText)
        filteredCells.append(block->address());
}
