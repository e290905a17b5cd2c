#include "excel/vivexcelworkbooks.h"
#include "excel/excelapplication.h"
#include "excel/excelworkbook.h"
#include "excel/excelworkbooks.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelworkbook.h"

VIVExcelWorkbooks::VIVExcelWorkbooks(QObject *parent) : VIVExcelBase(parent) {}

std::unique_ptr<ExcelObject> VIVExcelWorkbooks::createObject()
{
    auto *application = qobject_cast<VIVExcelApplication *>(parent());
    auto *excel = application ? dynamic_cast<ExcelApplication *>(application->object()) : nullptr;
    return excel ? excel->workbooks() : nullptr;
}

VIVExcelWorkbook *VIVExcelWorkbooks::workbook(const QString &name, bool keep)
{
    if (VIVExcelWorkbook *known = keptChildNamed<VIVExcelWorkbook>(name))
        return known;
    auto *books = dynamic_cast<ExcelWorkbooks *>(object());
    std::unique_ptr<ExcelWorkbook> found = books ? books->item(name) : nullptr;
    if (!found)
        return nullptr;
    return kept(new VIVExcelWorkbook(std::move(found), this), keep);
}

VIVExcelWorkbook *VIVExcelWorkbooks::add(bool keep)
{
    auto *books = dynamic_cast<ExcelWorkbooks *>(object());
    return kept(new VIVExcelWorkbook(books ? books->add() : nullptr, this), keep);
}
