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
    // Recalculates every formula when the program wrote the workbook since its last full
    // recalculation, so the office itself shows true values after the program's writes.
    virtual void recalculateAfterWrites() = 0;
    // Recalculates every formula whoever changed the workbook last: for reads that follow no
    // write of the program's, of a workbook that may have been saved or edited stale.
    virtual void recalculateFully() = 0;
    // The writes between entering and leaving become one step of the workbook's undo history
    // named title, as one edit of the user's would be; false when no step was begun.
    virtual bool enterUndoContext(const QString &title) = 0;
    // The writes until leaving join the latest step of the history instead of making one of
    // their own; false when there is no step to join.
    virtual bool joinLastUndoStep() = 0;
    virtual void leaveUndoContext() = 0;
};

#endif
