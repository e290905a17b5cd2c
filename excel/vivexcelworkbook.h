#ifndef VIVEXCELWORKBOOK_H
#define VIVEXCELWORKBOOK_H

#include "excel/vivexcelbase.h"

#include <QString>

class VIVExcelWorksheets;

class VIVExcelWorkbook : public VIVExcelBase
{
    Q_OBJECT

public:
    explicit VIVExcelWorkbook(std::unique_ptr<ExcelObject> object = nullptr,
                              QObject *parent = nullptr);

    QString name();
    VIVExcelWorksheets *worksheets();
    void recalculateAfterWrites();
    void recalculateFully();
    bool enterUndoContext(const QString &title);
    bool joinLastUndoStep();
    void leaveUndoContext();
    // Why a copy of the workbook would not compute what it computes; empty when it would.
    QString copyProblem();
    // The path of a copy of the workbook as it is now, stored into folder; empty when none.
    QString storeSnapshot(const QString &folder);

protected:
    std::unique_ptr<ExcelObject> createObject() override;

private:
    VIVExcelWorksheets *worksheetsWrapper = nullptr;
};

#endif
