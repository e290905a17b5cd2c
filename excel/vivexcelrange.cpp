#include "excel/vivexcelrange.h"
#include "excel/exceladdressblock.h"
#include "excel/excellogging.h"
#include "excel/excelrange.h"
#include "excel/excelworksheet.h"
#include "excel/vivexcelsheet.h"

#include <cmath>

VIVExcelRange::VIVExcelRange(std::unique_ptr<ExcelObject> object, QObject *parent)
    : VIVExcelBase(parent)
{
    setObject(std::move(object));
}

std::unique_ptr<ExcelObject> VIVExcelRange::createObject()
{
    return nullptr;
}

ExcelRange *VIVExcelRange::range()
{
    return dynamic_cast<ExcelRange *>(object());
}

QString VIVExcelRange::address()
{
    if (cachedAddress.isEmpty()) {
        if (ExcelRange *cells = range())
            cachedAddress = cells->address();
    }
    return cachedAddress;
}

QVariant VIVExcelRange::value()
{
    ExcelRange *cells = range();
    return cells ? cells->value() : QVariant();
}

QString VIVExcelRange::text()
{
    ExcelRange *cells = range();
    return cells ? cells->text() : QString();
}

bool VIVExcelRange::hasFormula()
{
    ExcelRange *cells = range();
    return cells && cells->hasFormula();
}

int VIVExcelRange::row()
{
    ExcelRange *cells = range();
    return cells ? cells->row() : 0;
}

int VIVExcelRange::column()
{
    ExcelRange *cells = range();
    return cells ? cells->column() : 0;
}

// Values reach the spreadsheet as doubles; a float is widened first, so a slider's
// single-precision value is written as the number it stands for.
void VIVExcelRange::setValue(const QVariant &value)
{
    ExcelRange *cells = range();
    if (!cells) {
        qCDebug(lcLink) << "Invalid range interface" << object();
        return;
    }
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    // A NaN or an infinity would turn the user's cell into an error value.
    if (!isNumber || !std::isfinite(number)) {
        qCDebug(lcLink) << "Not a number for" << address() << value;
        return;
    }
    cells->setValue(number);
}

bool VIVExcelRange::restoreContent()
{
    ExcelRange *cells = range();
    return cells && cells->restoreContent();
}

bool VIVExcelRange::isWritable()
{
    ExcelRange *cells = range();
    return cells && cells->isWritable();
}

std::optional<QStringList> VIVExcelRange::filteredCells(bool formulas)
{
    ExcelRange *cells = range();
    return cells ? cells->filteredCells(formulas) : std::nullopt;
}

VIVExcelSheet *VIVExcelRange::sheet(bool keep)
{
    if (sheetWrapper)
        return sheetWrapper;
    if (auto *parentSheet = qobject_cast<VIVExcelSheet *>(parent())) {
        sheetWrapper = parentSheet;
        return sheetWrapper;
    }
    ExcelRange *cells = range();
    auto *wrapper = new VIVExcelSheet(cells ? cells->worksheet() : nullptr, this);
    if (keep)
        sheetWrapper = wrapper;
    return kept(wrapper, keep);
}

void VIVExcelRange::iterateCells(bool walk)
{
    ExcelAddressBlock block;
    connect(&block, &ExcelAddressBlock::rangeIterated, this, &VIVExcelRange::rangeIteration);
    block.setAddress(address(), walk);
}

void VIVExcelRange::rangeIteration(ExcelAddressBlock *block)
{
    emit rangeIterated(block);
}
