#ifndef EXCELWORKBOOKS_H
#define EXCELWORKBOOKS_H

#include "excel/excelobject.h"

#include <memory>

class ExcelWorkbook;

class ExcelWorkbooks : public ExcelObject
{
public:
    // A new empty workbook; null when none could be made.
    virtual std::unique_ptr<ExcelWorkbook> add() = 0;
    // Null when no open workbook has that name.
    virtual std::unique_ptr<ExcelWorkbook> item(const QString &name) = 0;
};

#endif
