#include "excel/calc/calcsweepcells.h"
#include "excel/calc/calcconnection.h"
#include "excel/celladdress.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeReferrer.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/CellProtection.hpp>
#include <com/sun/star/util/XProtectable.hpp>

#include <QRegularExpression>
#include <optional>

using namespace css;

namespace {

struct Reference
{
    QString sheet;
    QString area;
};

const QRegularExpression &areaPattern()
{
    static const QRegularExpression pattern("^[A-Za-z]{1,3}[0-9]+(:[A-Za-z]{1,3}[0-9]+)?$");
    return pattern;
}

std::string quoted(const QString &text)
{
    return ("\"" + text + "\"").toStdString();
}

// A quoted sheet name doubles its quotes; it ends at a quote that is not doubled.
Reference parseQuoted(const QString &text)
{
    QString sheet;
    int i = 1;
    for (; i < text.size(); ++i) {
        if (text[i] != '\'') {
            sheet += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\'') {
            sheet += '\'';
            ++i;
        } else {
            break;
        }
    }
    if (i + 1 >= text.size() || (text[i + 1] != '!' && text[i + 1] != '.'))
        throw CalcSweepCells::BadReference(quoted(text) + " is not a cell address");
    return {sheet, text.mid(i + 2).remove('$')};
}

Reference parse(const QString &reference)
{
    const QString text = reference.trimmed();
    if (text.startsWith('\''))
        return parseQuoted(text);
    const int bang = text.indexOf('!');
    if (bang >= 0)
        return {text.left(bang), text.mid(bang + 1).remove('$')};
    const int dot = text.lastIndexOf('.');
    if (dot > 0 && areaPattern().match(text.mid(dot + 1).remove('$')).hasMatch())
        return {text.left(dot), text.mid(dot + 1).remove('$')};
    return {QString(), text.contains('$') ? QString(text).remove('$') : text};
}

uno::Reference<container::XIndexAccess> sheetsOf(const uno::Reference<frame::XModel> &document)
{
    return uno::Reference<container::XIndexAccess>(
        uno::Reference<sheet::XSpreadsheetDocument>(document, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
}

uno::Reference<sheet::XSpreadsheet> sheetNamed(const uno::Reference<frame::XModel> &document,
                                               const QString &name)
{
    const uno::Reference<container::XNameAccess> sheets(
        uno::Reference<sheet::XSpreadsheetDocument>(document, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
    if (!sheets->hasByName(toOUString(name)))
        throw CalcSweepCells::BadReference("the workbook has no sheet " + quoted(name));
    return uno::Reference<sheet::XSpreadsheet>(sheets->getByName(toOUString(name)),
                                               uno::UNO_QUERY_THROW);
}

// The sheet the workbook opens on; the first one when it has no view.
uno::Reference<sheet::XSpreadsheet> openingSheet(const uno::Reference<frame::XModel> &document)
{
    const uno::Reference<sheet::XSpreadsheetView> view(document->getCurrentController(),
                                                       uno::UNO_QUERY);
    if (view.is() && view->getActiveSheet().is())
        return view->getActiveSheet();
    return uno::Reference<sheet::XSpreadsheet>(sheetsOf(document)->getByIndex(0),
                                               uno::UNO_QUERY_THROW);
}

uno::Reference<table::XCellRange> namedRange(const uno::Reference<frame::XModel> &document,
                                             const QString &name)
{
    const uno::Reference<container::XNameAccess> names(
        uno::Reference<beans::XPropertySet>(document, uno::UNO_QUERY_THROW)
            ->getPropertyValue("NamedRanges"),
        uno::UNO_QUERY_THROW);
    if (!names->hasByName(toOUString(name)))
        throw CalcSweepCells::BadReference(quoted(name) +
                                           " is neither a cell address nor a defined name");
    const uno::Reference<sheet::XCellRangeReferrer> referrer(names->getByName(toOUString(name)),
                                                             uno::UNO_QUERY);
    const uno::Reference<table::XCellRange> cells =
        referrer.is() ? referrer->getReferredCells() : nullptr;
    if (!cells.is())
        throw CalcSweepCells::BadReference("the name " + quoted(name) + " names no cells");
    return cells;
}

uno::Reference<table::XCellRange> rangeOf(const uno::Reference<frame::XModel> &document,
                                          const QString &text)
{
    const Reference reference = parse(text);
    if (!areaPattern().match(reference.area).hasMatch()) {
        if (!reference.sheet.isEmpty())
            throw CalcSweepCells::BadReference(quoted(text) + " is not a cell address");
        return namedRange(document, reference.area);
    }
    const uno::Reference<sheet::XSpreadsheet> sheet =
        reference.sheet.isEmpty() ? openingSheet(document) : sheetNamed(document, reference.sheet);
    try {
        return sheet->getCellRangeByName(toOUString(reference.area));
    } catch (const uno::RuntimeException &) {
        throw CalcSweepCells::BadReference(quoted(text) + " lies outside the sheet");
    }
}

QString sheetName(const uno::Reference<frame::XModel> &document, int index)
{
    return toQString(uno::Reference<container::XNamed>(sheetsOf(document)->getByIndex(index),
                                                       uno::UNO_QUERY_THROW)
                         ->getName());
}

uno::Reference<sheet::XSpreadsheet> sheetOf(const uno::Reference<frame::XModel> &document,
                                            const CalcSweepCells::Cell &cell)
{
    return sheetNamed(document, cell.sheet);
}

// A number, or a formula whose result is a number or an error, lets the walk go on; any other
// cell ends it with its text, an empty cell with no label.
std::optional<QString> labelOf(const uno::Reference<table::XCell> &cell)
{
    const table::CellContentType type = cell->getType();
    if (type == table::CellContentType_VALUE)
        return std::nullopt;
    if (type == table::CellContentType_FORMULA) {
        sal_Int32 result = 0;
        uno::Reference<beans::XPropertySet>(cell, uno::UNO_QUERY_THROW)
            ->getPropertyValue("FormulaResultType2") >>= result;
        if (result != sheet::FormulaResult::STRING)
            return std::nullopt;
    }
    return toQString(uno::Reference<text::XText>(cell, uno::UNO_QUERY_THROW)->getString());
}

QString labelTowards(const uno::Reference<sheet::XSpreadsheet> &sheet, int row, int column,
                     bool alongRow)
{
    for (int k = (alongRow ? column : row) - 1; k >= 0; --k) {
        const std::optional<QString> label =
            labelOf(sheet->getCellByPosition(alongRow ? k : column, alongRow ? row : k));
        if (label)
            return *label;
    }
    return QString();
}

} // namespace

QString CalcSweepCells::Cell::qualified() const
{
    static const QRegularExpression plain("^[A-Za-z_][A-Za-z0-9_]*$");
    const QString name =
        plain.match(sheet).hasMatch() ? sheet : "'" + QString(sheet).replace("'", "''") + "'";
    return name + "." + address;
}

QList<CalcSweepCells::Cell> CalcSweepCells::resolve(const uno::Reference<frame::XModel> &document,
                                                    const QString &reference)
{
    const uno::Reference<table::XCellRange> range = rangeOf(document, reference);
    const table::CellRangeAddress area =
        uno::Reference<sheet::XCellRangeAddressable>(range, uno::UNO_QUERY_THROW)
            ->getRangeAddress();
    const QString sheet = sheetName(document, area.Sheet);
    QList<Cell> cells;
    for (sal_Int32 row = area.StartRow; row <= area.EndRow; ++row) {
        for (sal_Int32 column = area.StartColumn; column <= area.EndColumn; ++column)
            cells.append({range->getCellByPosition(column - area.StartColumn, row - area.StartRow),
                          sheet, cellAddress(row + 1, column + 1)});
    }
    return cells;
}

uno::Reference<table::XCell> CalcSweepCells::cellAt(const uno::Reference<frame::XModel> &document,
                                                    const Cell &cell)
{
    return uno::Reference<table::XCell>(
        sheetOf(document, cell)->getCellRangeByName(toOUString(cell.address)),
        uno::UNO_QUERY_THROW);
}

QString CalcSweepCells::label(const uno::Reference<frame::XModel> &document, const Cell &cell)
{
    const uno::Reference<sheet::XSpreadsheet> sheet = sheetOf(document, cell);
    const table::CellAddress position =
        uno::Reference<sheet::XCellAddressable>(cell.cell, uno::UNO_QUERY_THROW)->getCellAddress();
    QStringList labels{labelTowards(sheet, position.Row, position.Column, true),
                       labelTowards(sheet, position.Row, position.Column, false)};
    labels.removeAll(QString());
    return labels.join(" / ");
}

QString CalcSweepCells::inputProblem(const uno::Reference<frame::XModel> &document,
                                     const Cell &cell)
{
    const table::CellContentType type = cell.cell->getType();
    if (type == table::CellContentType_FORMULA)
        return "holds a formula";
    if (type == table::CellContentType_TEXT)
        return "holds a text";
    util::CellProtection protection;
    uno::Reference<beans::XPropertySet>(cell.cell, uno::UNO_QUERY_THROW)
        ->getPropertyValue("CellProtection") >>= protection;
    if (protection.IsLocked &&
        uno::Reference<util::XProtectable>(sheetOf(document, cell), uno::UNO_QUERY_THROW)
            ->isProtected())
        return "is protected";
    return QString();
}
