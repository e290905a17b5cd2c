#ifndef EXCELWORKSHEETS_H
#define EXCELWORKSHEETS_H

#include "excel/excelobject.h"

#include <memory>

class ExcelWorksheet;

class ExcelWorksheets : public ExcelObject
{
public:
    // Null when the workbook has no sheet of that name.
    virtual std::unique_ptr<ExcelWorksheet> item(const QString &name) = 0;
};

#endif
