#ifndef EXCELWINDOW_H
#define EXCELWINDOW_H

#include "excel/excelobject.h"

#include <memory>

class ExcelRange;
class ExcelWorksheet;

// The window the user looks at a workbook through.
class ExcelWindow : public ExcelObject
{
public:
    virtual std::unique_ptr<ExcelWorksheet> activeSheet() = 0;
    // The cells the user selected; null when the selection is not made of cells.
    virtual std::unique_ptr<ExcelRange> rangeSelection() = 0;
};

#endif
