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
    // Recalculates every formula, also those the program believes up to date.
    virtual void calculateFully() = 0;
    // Some workbooks read stale formula results after a program's write even with automatic
    // calculation on. With this on, the first read after writes recalculates the workbook
    // fully. It holds for the document as long as the link is connected to it.
    virtual void setRecalculateFully(bool on) = 0;
    virtual bool recalculatesFully() = 0;
    // The writes between entering and leaving become one step of the workbook's undo history
    // named title, as one edit of the user's would be; false when no step was begun.
    virtual bool enterUndoContext(const QString &title) = 0;
    // The writes until leaving join the latest step of the history instead of making one of
    // their own; false when there is no step to join.
    virtual bool joinLastUndoStep() = 0;
    virtual void leaveUndoContext() = 0;
};

#endif
