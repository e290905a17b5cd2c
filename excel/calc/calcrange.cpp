#include "excel/calc/calcrange.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcrecalculation.h"
#include "excel/calc/calcworksheet.h"
#include "excel/calc/calcwritebracket.h"
#include "excel/celladdress.h"
#include "excel/exceladdressblock.h"
#include "excel/excellogging.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/CellProtection.hpp>
#include <com/sun/star/util/XProtectable.hpp>

#include <QStringList>

using namespace css;

namespace {

struct SheetSize
{
    sal_Int32 rows = 0;
    sal_Int32 columns = 0;
};

// Whole columns and whole rows are written as Excel writes them ("B:C", "3:5"), so they are
// never walked cell by cell.
QString areaText(const table::CellRangeAddress &area, const SheetSize &size)
{
    if (area.StartRow == 0 && area.EndRow == size.rows - 1)
        return columnLetters(area.StartColumn + 1) + ":" + columnLetters(area.EndColumn + 1);
    if (area.StartColumn == 0 && area.EndColumn == size.columns - 1)
        return QString::number(area.StartRow + 1) + ":" + QString::number(area.EndRow + 1);
    const QString start = cellAddress(area.StartRow + 1, area.StartColumn + 1);
    if (area.StartColumn == area.EndColumn && area.StartRow == area.EndRow)
        return start;
    return start + ":" + cellAddress(area.EndRow + 1, area.EndColumn + 1);
}

uno::Reference<sheet::XSheetCellRange> firstArea(const uno::Reference<uno::XInterface> &cells)
{
    const uno::Reference<sheet::XSheetCellRange> single(cells, uno::UNO_QUERY);
    if (single.is())
        return single;
    const uno::Reference<container::XIndexAccess> areas(cells, uno::UNO_QUERY_THROW);
    return uno::Reference<sheet::XSheetCellRange>(areas->getByIndex(0), uno::UNO_QUERY_THROW);
}

SheetSize sheetSize(const uno::Reference<uno::XInterface> &cells)
{
    const uno::Reference<table::XColumnRowRange> sheet(firstArea(cells)->getSpreadsheet(),
                                                       uno::UNO_QUERY_THROW);
    return {sheet->getRows()->getCount(), sheet->getColumns()->getCount()};
}

table::CellRangeAddress firstAreaAddress(const uno::Reference<uno::XInterface> &cells)
{
    return uno::Reference<sheet::XCellRangeAddressable>(firstArea(cells), uno::UNO_QUERY_THROW)
        ->getRangeAddress();
}

} // namespace

CalcRange::CalcRange(std::shared_ptr<CalcConnection> connection,
                     uno::Reference<frame::XModel> model, uno::Reference<uno::XInterface> cells)
    : connection(std::move(connection)), model(std::move(model)), cells(std::move(cells))
{}

QString CalcRange::describe() const
{
    return "Calc range";
}

const uno::Reference<table::XCell> &CalcRange::cell()
{
    if (!cellAsked) {
        cellAsked = true;
        connection->guard("Range", [this]() {
            singleCell.set(cells, uno::UNO_QUERY);
            cellData.set(cells, uno::UNO_QUERY);
        });
    }
    return singleCell;
}

QVariant CalcRange::value()
{
    if (!cell().is() || !cellData.is())
        return QVariant();
    connection->recalculation().beforeRead(*connection, model);
    return connection->guard(
        "Range.Value", [this]() { return readValue(); }, QVariant());
}

// The office reads text, empty and error cells as 0, so any other number is the cell's number,
// and the common case costs one call. A 0 is looked at again: the cell's data tells a number
// from a text, an empty element stands for an error (read as its displayed text, which is not a
// number), and an empty text is an empty cell (no value) only when the cell has no content.
QVariant CalcRange::readValue()
{
    const double number = singleCell->getValue();
    if (number != 0)
        return number;
    const uno::Any element = cellData->getDataArray()[0][0];
    double data = 0;
    if (element >>= data)
        return data;
    OUString text;
    if (!(element >>= text))
        return this->text();
    if (!text.isEmpty())
        return toQString(text);
    if (singleCell->getType() == table::CellContentType_EMPTY)
        return QVariant();
    return QString("");
}

void CalcRange::setValue(double value)
{
    if (!cell().is()) {
        qCDebug(lcLink) << "Value written to cells that are not a single cell:" << address();
        return;
    }
    if (!prepareWrite()) {
        if (connection->isAlive())
            qCWarning(lcLink) << "The cell is protected" << address();
        else
            qCDebug(lcLink) << "Not written, the office is gone:" << address();
        return;
    }
    connection->guard("Range.Value", [this, value]() { singleCell->setValue(value); });
    connection->recalculation().noteWrite(model);
}

bool CalcRange::prepareWrite()
{
    if (!cell().is())
        return false;
    CalcWriteBracket &bracket = connection->writeBracket();
    // A cell already written in this bracket was writable then; the check costs a call.
    if (!bracket.holds(model, cellAddress()) && cellIsLocked())
        return false;
    bracket.noteWrite(*connection, model, singleCell, cellAddress());
    return true;
}

bool CalcRange::restoreContent()
{
    return cell().is() && connection->writeBracket().restore(*connection, model, cellAddress());
}

bool CalcRange::isWritable()
{
    return cell().is() && !cellIsLocked();
}

// The office's interface writes into protected cells; the program must not.
bool CalcRange::cellIsLocked()
{
    return connection->guard(
        "Range.Locked",
        [this]() {
            const uno::Reference<sheet::XSheetCellRange> range(singleCell, uno::UNO_QUERY_THROW);
            const uno::Reference<util::XProtectable> sheet(range->getSpreadsheet(),
                                                           uno::UNO_QUERY_THROW);
            if (!sheet->isProtected())
                return false;
            util::CellProtection protection;
            uno::Reference<beans::XPropertySet>(singleCell, uno::UNO_QUERY_THROW)
                ->getPropertyValue("CellProtection") >>= protection;
            return bool(protection.IsLocked);
        },
        true);
}

const table::CellAddress &CalcRange::cellAddress()
{
    if (!cachedCellAddress) {
        cachedCellAddress = connection->guard(
            "Range.Address",
            [this]() {
                return uno::Reference<sheet::XCellAddressable>(singleCell, uno::UNO_QUERY_THROW)
                    ->getCellAddress();
            },
            table::CellAddress());
    }
    return *cachedCellAddress;
}

QString CalcRange::text()
{
    return toQString(connection->guard(
        "Range.Text",
        [this]() {
            const uno::Reference<text::XText> text(firstArea(cells), uno::UNO_QUERY);
            return text.is() ? text->getString() : OUString();
        },
        OUString()));
}

bool CalcRange::hasFormula()
{
    if (!cell().is())
        return false;
    return connection->guard(
        "Range.HasFormula",
        [this]() { return singleCell->getType() == table::CellContentType_FORMULA; }, false);
}

int CalcRange::row()
{
    return connection->guard(
        "Range.Row", [this]() { return int(firstAreaAddress(cells).StartRow) + 1; }, 0);
}

int CalcRange::column()
{
    return connection->guard(
        "Range.Column", [this]() { return int(firstAreaAddress(cells).StartColumn) + 1; }, 0);
}

// Built from the area structs, never from the office's own address text, whose separators
// follow the user's formula settings. Areas are joined by ";", the form the address block walks.
QString CalcRange::address()
{
    return connection->guard(
        "Range.Address",
        [this]() {
            const SheetSize size = sheetSize(cells);
            const uno::Reference<sheet::XSheetCellRanges> areas(cells, uno::UNO_QUERY);
            if (!areas.is())
                return areaText(firstAreaAddress(cells), size);
            QStringList texts;
            for (const table::CellRangeAddress &area : areas->getRangeAddresses())
                texts.append(areaText(area, size));
            return texts.join(";");
        },
        QString());
}

std::unique_ptr<ExcelWorksheet> CalcRange::worksheet()
{
    const uno::Reference<sheet::XSpreadsheet> sheet = connection->guard(
        "Range.Worksheet", [this]() { return firstArea(cells)->getSpreadsheet(); },
        uno::Reference<sheet::XSpreadsheet>());
    if (!sheet.is())
        return nullptr;
    return std::make_unique<CalcWorksheet>(connection, model, sheet);
}

std::optional<CalcRange::BatchCell> CalcRange::batchCell()
{
    if (!cell().is() || !model.is())
        return std::nullopt;
    return BatchCell{model, singleCell};
}

namespace {

// Where a cell of the area sits in a row-by-row list of the area's cells.
std::size_t cellIndex(const table::CellRangeAddress &area, sal_Int32 row, sal_Int32 column)
{
    const sal_Int32 width = area.EndColumn - area.StartColumn + 1;
    return std::size_t(row - area.StartRow) * width + std::size_t(column - area.StartColumn);
}

void markCells(const uno::Sequence<table::CellRangeAddress> &ranges,
               const table::CellRangeAddress &area, std::vector<char> &marks, char mark)
{
    for (const table::CellRangeAddress &range : ranges) {
        for (sal_Int32 row = range.StartRow; row <= range.EndRow; ++row) {
            for (sal_Int32 column = range.StartColumn; column <= range.EndColumn; ++column)
                marks[cellIndex(area, row, column)] = mark;
        }
    }
}

QStringList markedCells(const table::CellRangeAddress &area, const std::vector<char> &marks,
                        char wanted)
{
    const sal_Int32 width = area.EndColumn - area.StartColumn + 1;
    QStringList cells;
    for (std::size_t index = 0; index < marks.size(); ++index) {
        if (marks[index] == wanted)
            cells.append(cellAddress(area.StartRow + 1 + int(index / width),
                                     area.StartColumn + 1 + int(index % width)));
    }
    return cells;
}

} // namespace

// Two or three office calls for any number of cells: the formula cells, and for the other
// cells the text cells, whose data tells which hold the empty text.
std::optional<QStringList> CalcRange::filteredCells(bool formulas)
{
    enum Mark : char { Other, Formula, EmptyText };
    return connection->guard(
        "Range.SpecialCells",
        [this, formulas]() -> std::optional<QStringList> {
            const uno::Reference<sheet::XCellRangesQuery> query(cells, uno::UNO_QUERY);
            const uno::Reference<sheet::XCellRangeAddressable> addressable(cells, uno::UNO_QUERY);
            const uno::Reference<table::XCellRange> range(cells, uno::UNO_QUERY);
            if (!query.is() || !addressable.is() || !range.is())
                return std::nullopt;
            const table::CellRangeAddress area = addressable->getRangeAddress();
            const qint64 count = (qint64(area.EndRow) - area.StartRow + 1) *
                                 (qint64(area.EndColumn) - area.StartColumn + 1);
            if (count > ExcelAddressBlock::maxWalkedCells)
                return std::nullopt;
            std::vector<char> marks(std::size_t(count), Other);
            markCells(query->queryContentCells(sheet::CellFlags::FORMULA)->getRangeAddresses(),
                      area, marks, Formula);
            if (formulas)
                return markedCells(area, marks, Formula);
            const uno::Sequence<table::CellRangeAddress> texts =
                query->queryContentCells(sheet::CellFlags::STRING)->getRangeAddresses();
            for (const table::CellRangeAddress &text : texts) {
                const uno::Sequence<uno::Sequence<uno::Any>> data =
                    uno::Reference<sheet::XCellRangeData>(
                        range->getCellRangeByPosition(
                            text.StartColumn - area.StartColumn, text.StartRow - area.StartRow,
                            text.EndColumn - area.StartColumn, text.EndRow - area.StartRow),
                        uno::UNO_QUERY_THROW)
                        ->getDataArray();
                for (sal_Int32 row = 0; row < data.getLength(); ++row) {
                    for (sal_Int32 column = 0; column < data[row].getLength(); ++column) {
                        OUString string;
                        if ((data[row][column] >>= string) && string.isEmpty())
                            marks[cellIndex(area, text.StartRow + row, text.StartColumn + column)] =
                                EmptyText;
                    }
                }
            }
            return markedCells(area, marks, Other);
        },
        std::optional<QStringList>());
}
