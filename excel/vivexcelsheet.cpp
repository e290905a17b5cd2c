#include "excel/vivexcelsheet.h"
#include "excel/excelrange.h"
#include "excel/excelworkbook.h"
#include "excel/excelworksheet.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworksheets.h"

VIVExcelSheet::VIVExcelSheet(std::unique_ptr<ExcelObject> object, QObject *parent)
    : VIVExcelBase(parent)
{
    setObject(std::move(object));
}

std::unique_ptr<ExcelObject> VIVExcelSheet::createObject()
{
    return nullptr;
}

ExcelWorksheet *VIVExcelSheet::worksheet()
{
    return dynamic_cast<ExcelWorksheet *>(object());
}

void VIVExcelSheet::objectChanged()
{
    ExcelWorksheet *sheet = dynamic_cast<ExcelWorksheet *>(currentObject());
    if (!sheet)
        return;
    sheet->setChangeHandler(
        this, [this](std::unique_ptr<ExcelRange> range) { sheetChange(range.release()); });
}

QString VIVExcelSheet::name()
{
    ExcelWorksheet *sheet = worksheet();
    return sheet ? sheet->name() : QString();
}

VIVExcelRange *VIVExcelSheet::range(const QString &address, bool keep)
{
    if (VIVExcelRange *cached = ranges.value(address))
        return cached;
    ExcelWorksheet *sheet = worksheet();
    auto *wrapper = new VIVExcelRange(sheet ? sheet->range(address) : nullptr, this);
    if (!keep)
        return kept(wrapper, false);
    ranges.insert(address, wrapper);
    // A kept wrapper that dies before its sheet must not be handed out again.
    connect(wrapper, &QObject::destroyed, this, [this, address, wrapper]() {
        if (ranges.value(address) == wrapper)
            ranges.remove(address);
    });
    return wrapper;
}

VIVExcelWorkbook *VIVExcelSheet::workbook()
{
    if (workbookWrapper)
        return workbookWrapper;
    if (auto *book = qobject_cast<VIVExcelWorkbook *>(parent())) {
        workbookWrapper = book;
    } else if (qobject_cast<VIVExcelWorksheets *>(parent()) &&
               qobject_cast<VIVExcelWorkbook *>(parent()->parent())) {
        workbookWrapper = static_cast<VIVExcelWorkbook *>(parent()->parent());
    } else {
        ExcelWorksheet *sheet = worksheet();
        workbookWrapper = new VIVExcelWorkbook(sheet ? sheet->parent() : nullptr, this);
    }
    return workbookWrapper;
}

void VIVExcelSheet::sheetChange(ExcelRange *range)
{
    VIVExcelRange changed{std::unique_ptr<ExcelObject>(range)};
    emit rangeChanged(&changed);
}
