#include "app/viewcells.h"

#include "excel/exceladdressblock.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelwindow.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"
#include "sliders/vivexcelcellsliderview.h"
#include "watches/vivexcelwatchview.h"

VIVExcelApplication *ViewCells::application() const
{
    return m_application;
}

bool ViewCells::follow(VIVExcelApplication *application)
{
    if (!application || application == m_application) {
        m_application = application;
        return false;
    }
    m_application = application;
    return true;
}

void ViewCells::takeSelectionOf(VIVExcelApplication *application)
{
    m_workbookName = application->activeWorkbook(false)->name();
    m_sheetName = application->activeWindow(false)->activeSheet(false)->name();
}

bool ViewCells::isSingleCell(const ExcelAddressBlock *block)
{
    return block->valid() && block->singleArea() && !block->entireRows() &&
           !block->entireColumns() && block->firstRow() == block->lastRow() &&
           block->firstColumn() == block->lastColumn();
}

VIVExcelRange *ViewCells::cellOf(const ExcelAddressBlock *block) const
{
    VIVExcelWorkbook *book = m_application->workbooks()->workbook(m_workbookName, true);
    VIVExcelWorksheet *sheet = book->worksheets()->worksheet(m_sheetName, true);
    return sheet->range(block->address(), true);
}

void ViewCells::remember(QObject *view, VIVExcelRange *range) const
{
    view->setProperty("cellWorkbook", m_workbookName);
    view->setProperty("cellSheet", m_sheetName);
    view->setProperty("cellAddress", range->address());
}

QString ViewCells::addressOf(const QObject *view)
{
    return view->property("cellAddress").toString();
}

QString ViewCells::descriptionOf(VIVExcelRange *range) const
{
    QStringList labels = m_application->cellLabels(range);
    labels.removeAll(QString());
    return labels.join("\n");
}

VIVExcelRange *ViewCells::sameCell(const QObject *view) const
{
    VIVExcelWorkbook *book =
        m_application->workbooks()->workbook(view->property("cellWorkbook").toString(), true);
    VIVExcelWorksheet *sheet =
        book ? book->worksheets()->worksheet(view->property("cellSheet").toString(), true)
             : nullptr;
    return sheet ? sheet->range(addressOf(view), true) : nullptr;
}

bool ViewCells::rebind(VIVExcelCellSliderView *slider) const
{
    VIVExcelRange *range = sameCell(slider);
    if (range)
        slider->rebind(range);
    return range;
}

// The watch keeps the description it was made with, whatever the new cell's labels say.
bool ViewCells::rebind(VIVExcelWatchView *watch) const
{
    VIVExcelRange *range = sameCell(watch);
    if (range) {
        const QString description = watch->text();
        watch->setRange(range);
        watch->setText(description);
    }
    return range;
}
