#include "excel/vivexcelwindow.h"
#include "excel/exceladdressblock.h"
#include "excel/excelrange.h"
#include "excel/excelwindow.h"
#include "excel/excelworksheet.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"

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
    filterSheet = activeSheet(false);
    filterFormulas = formulas;
    filteredCells.clear();
    VIVExcelRange *selection = rangeSelection(false);
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
