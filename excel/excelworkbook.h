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
    // Why a copy of the workbook would not compute what the workbook computes: its formulas refer
    // to other files, it takes data from outside (linked sheets or areas, DDE, database imports),
    // or it holds macros (a copy opens with macros off). A workbook protected by a password is
    // not copied either, as its copy would lie on disk unprotected. Empty when a copy is faithful.
    virtual QString copyProblem() = 0;
    // Stores the workbook as it is now, unsaved edits included, into a new file in folder, in the
    // workbook's own format (a workbook never saved, or read from a format that cannot keep its
    // formulas, goes as the office's own format), and returns the file's path; empty when it
    // cannot. The workbook keeps its location, its modified flag and its undo and redo history.
    virtual QString storeSnapshot(const QString &folder) = 0;
};

#endif
