#ifndef CALCSWEEPCELLS_H
#define CALCSWEEPCELLS_H

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <QList>
#include <QString>
#include <stdexcept>

// Finds the cells a sweep names in a workbook: A1 addresses with an optional sheet
// ("Sheet2.E9", "Sheet2!E9", "'My sheet'!E9", "$E$9"; without a sheet, the sheet the workbook
// opens on) and defined names. Each cell comes with an address that names it in any copy of the
// workbook, and the label that names it on the sheet.
namespace CalcSweepCells {

// A reference that names no cell, or more than one where one is wanted; the text says which.
struct BadReference : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

struct Cell
{
    css::uno::Reference<css::table::XCell> cell;
    QString sheet;
    QString address; // A1, without absolute-reference signs
    // "Sheet.A1", the sheet quoted when its name needs it.
    QString qualified() const;
};

// The cells of the reference, row after row; throws BadReference, or the office's exceptions.
QList<Cell> resolve(const css::uno::Reference<css::frame::XModel> &document,
                    const QString &reference);
// The cell at a qualified address that resolve() gave for another copy of the workbook.
css::uno::Reference<css::table::XCell>
cellAt(const css::uno::Reference<css::frame::XModel> &document, const Cell &cell);
// The texts left of and above the cell that name it, as sliders and watches take them: walking
// towards the sheet's edge over numbers, the first other cell's text. Both, joined by " / ".
QString label(const css::uno::Reference<css::frame::XModel> &document, const Cell &cell);
// Why a sweep may not write the cell (a formula, a text, a protected cell); empty when it may.
QString inputProblem(const css::uno::Reference<css::frame::XModel> &document, const Cell &cell);

} // namespace CalcSweepCells

#endif
