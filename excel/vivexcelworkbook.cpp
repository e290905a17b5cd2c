#include "excel/vivexcelworkbook.h"
#include "excel/excelworkbook.h"
#include "excel/vivexcelworksheets.h"

VIVExcelWorkbook::VIVExcelWorkbook(std::unique_ptr<ExcelObject> object, QObject *parent)
    : VIVExcelBase(parent)
{
    setObject(std::move(object));
}

std::unique_ptr<ExcelObject> VIVExcelWorkbook::createObject()
{
    return nullptr;
}

QString VIVExcelWorkbook::name()
{
    auto *book = dynamic_cast<ExcelWorkbook *>(object());
    return book ? book->name() : QString();
}

VIVExcelWorksheets *VIVExcelWorkbook::worksheets()
{
    if (!worksheetsWrapper)
        worksheetsWrapper = new VIVExcelWorksheets(this);
    return worksheetsWrapper;
}

void VIVExcelWorkbook::recalculateAfterWrites()
{
    if (auto *book = dynamic_cast<ExcelWorkbook *>(object()))
        book->recalculateAfterWrites();
}

void VIVExcelWorkbook::recalculateFully()
{
    if (auto *book = dynamic_cast<ExcelWorkbook *>(object()))
        book->recalculateFully();
}

bool VIVExcelWorkbook::enterUndoContext(const QString &title)
{
    auto *book = dynamic_cast<ExcelWorkbook *>(object());
    return book && book->enterUndoContext(title);
}

bool VIVExcelWorkbook::joinLastUndoStep()
{
    auto *book = dynamic_cast<ExcelWorkbook *>(object());
    return book && book->joinLastUndoStep();
}

void VIVExcelWorkbook::leaveUndoContext()
{
    if (auto *book = dynamic_cast<ExcelWorkbook *>(object()))
        book->leaveUndoContext();
}

// A workbook that cannot be reached cannot be shown to copy faithfully.
QString VIVExcelWorkbook::copyProblem()
{
    auto *book = dynamic_cast<ExcelWorkbook *>(object());
    return book ? book->copyProblem() : QStringLiteral("the workbook cannot be reached");
}

QString VIVExcelWorkbook::storeSnapshot(const QString &folder)
{
    auto *book = dynamic_cast<ExcelWorkbook *>(object());
    return book ? book->storeSnapshot(folder) : QString();
}
