#include "excel/vivexcelworksheets.h"
#include "excel/excelworkbook.h"
#include "excel/excelworksheet.h"
#include "excel/excelworksheets.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworksheet.h"

VIVExcelWorksheets::VIVExcelWorksheets(QObject *parent) : VIVExcelBase(parent) {}

std::unique_ptr<ExcelObject> VIVExcelWorksheets::createObject()
{
    auto *book = qobject_cast<VIVExcelWorkbook *>(parent());
    auto *workbook = book ? dynamic_cast<ExcelWorkbook *>(book->object()) : nullptr;
    return workbook ? workbook->worksheets() : nullptr;
}

VIVExcelWorksheet *VIVExcelWorksheets::worksheet(const QString &name, bool keep)
{
    if (VIVExcelWorksheet *known = keptChildNamed<VIVExcelWorksheet>(name))
        return known;
    auto *sheets = dynamic_cast<ExcelWorksheets *>(object());
    std::unique_ptr<ExcelWorksheet> found = sheets ? sheets->item(name) : nullptr;
    if (!found)
        return nullptr;
    return kept(new VIVExcelWorksheet(std::move(found), this), keep);
}
