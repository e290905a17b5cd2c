#include "kernelcells.h"
#include "kernelarguments.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <algorithm>
#include <cstring>

using namespace css;

namespace {

OUString sheetName(const uno::Reference<uno::XInterface> &sheet)
{
    return uno::Reference<container::XNamed>(sheet, uno::UNO_QUERY_THROW)->getName();
}

} // namespace

uno::Reference<sheet::XSpreadsheetDocument> KernelCells::spreadsheet(const uno::Any &document)
{
    uno::Reference<sheet::XSpreadsheetDocument> spreadsheet;
    if (!(document >>= spreadsheet)) {
        uno::Reference<uno::XInterface> object;
        document >>= object;
        spreadsheet.set(object, uno::UNO_QUERY);
    }
    if (!spreadsheet.is())
        throw KernelArguments::refusal("the document is not a spreadsheet");
    return spreadsheet;
}

std::vector<uno::Reference<table::XCell>>
KernelCells::resolve(const uno::Reference<sheet::XSpreadsheetDocument> &document,
                     const uno::Sequence<uno::Reference<uno::XInterface>> &objects,
                     const char *role)
{
    const uno::Reference<container::XIndexAccess> sheets(document->getSheets(),
                                                         uno::UNO_QUERY_THROW);
    std::vector<OUString> names(size_t(std::max<sal_Int32>(sheets->getCount(), 0)));
    std::vector<uno::Reference<table::XCell>> cells;
    cells.reserve(size_t(objects.getLength()));
    for (sal_Int32 i = 0; i < objects.getLength(); ++i) {
        const OUString which = OUString::createFromAscii(role) + " " + OUString::number(i);
        const uno::Reference<table::XCell> cell(objects[i], uno::UNO_QUERY);
        const uno::Reference<sheet::XCellAddressable> addressable(cell, uno::UNO_QUERY);
        const uno::Reference<sheet::XSheetCellRange> onSheet(cell, uno::UNO_QUERY);
        if (!cell.is() || !addressable.is() || !onSheet.is())
            throw KernelArguments::refusal(which + " is not a single cell");
        const table::CellAddress address = addressable->getCellAddress();
        if (address.Sheet < 0 || size_t(address.Sheet) >= names.size())
            throw KernelArguments::refusal(which + " lies on no sheet of the document");
        OUString &name = names[size_t(address.Sheet)];
        if (name.isEmpty())
            name =
                sheetName(sheets->getByIndex(address.Sheet).get<uno::Reference<uno::XInterface>>());
        if (sheetName(onSheet->getSpreadsheet()) != name)
            throw KernelArguments::refusal(which + " lies on no sheet of the document");
        cells.push_back(cell);
    }
    return cells;
}

KernelCells::Snapshot::Snapshot(const uno::Reference<table::XCell> &cell)
    : target(cell), type(cell->getType())
{
    if (type == table::CellContentType_TEXT)
        text.set(cell, uno::UNO_QUERY);
    if (type == table::CellContentType_VALUE)
        number = cell->getValue();
    else if (text.is())
        formula = text->getString();
    else
        formula = cell->getFormula();
}

void KernelCells::Snapshot::restore() const
{
    if (type == table::CellContentType_VALUE)
        target->setValue(number);
    else if (text.is())
        text->setString(formula);
    else
        target->setFormula(formula);
}

bool KernelCells::Snapshot::sameAs(const Snapshot &other) const
{
    return type == other.type && std::memcmp(&number, &other.number, sizeof number) == 0 &&
           formula == other.formula;
}
