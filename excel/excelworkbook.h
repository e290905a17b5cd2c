#ifndef EXCELWORKBOOK_H
#define EXCELWORKBOOK_H

#include "excel/excelobject.h"

#include <memory>

class ExcelWorksheets;

class ExcelWorkbook : public ExcelObject
{
public:
    virtual QString name() = 0;
    virtual std::unique_ptr<ExcelWorksheets> worksheets() = 0;
};

#endif
