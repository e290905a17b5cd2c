#ifndef EXCELRANGE_H
#define EXCELRANGE_H

#include "excel/excelobject.h"

#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

class ExcelWorksheet;

// A cell or a rectangle of cells.
class ExcelRange : public ExcelObject
{
public:
    // A number for a value cell or a numeric formula result, a text for text, an invalid
    // variant for an empty cell or a failed read, something that is not a number for an error.
    virtual QVariant value() = 0;
    virtual void setValue(double value) = 0;
    // The text the cell displays; empty when the read fails.
    virtual QString text() = 0;
    virtual bool hasFormula() = 0;
    // 1-based position of the top-left cell; 0 when the read fails.
    virtual int row() = 0;
    virtual int column() = 0;
    // The A1 text without absolute-reference signs; several areas are joined with ";".
    virtual QString address() = 0;
    virtual std::unique_ptr<ExcelWorksheet> worksheet() = 0;
    // Whether a value may be written into the cell: not a locked cell of a protected sheet.
    // A spreadsheet without protection has every cell writable.
    virtual bool isWritable() { return true; }
    // Gives the cell back, exactly, the content it held before the program first wrote it since
    // screen updating went off (a number, text, formula or nothing); false when the spreadsheet
    // keeps no such content for the cell, and the caller puts back what it knows itself.
    virtual bool restoreContent() { return false; }
    // The cells of this one rectangle that hold a formula (formulas true), or else those that
    // hold none and do not hold the empty text, as A1 texts row by row; asked of the
    // spreadsheet at once. Nothing when the spreadsheet cannot be asked that way, and the
    // caller looks at the cells one by one.
    virtual std::optional<QStringList> filteredCells(bool formulas)
    {
        Q_UNUSED(formulas);
        return std::nullopt;
    }
};

#endif
