#ifndef VIVEXCELWORKSHEETS_H
#define VIVEXCELWORKSHEETS_H

#include "excel/vivexcelbase.h"

class VIVExcelWorksheet;

// The worksheets of a workbook.
class VIVExcelWorksheets : public VIVExcelBase
{
    Q_OBJECT

public:
    explicit VIVExcelWorksheets(QObject *parent = nullptr);

    // A worksheet wrapper made earlier with that name, or a new one; null when the workbook has
    // no such sheet.
    VIVExcelWorksheet *worksheet(const QString &name, bool keep);

protected:
    std::unique_ptr<ExcelObject> createObject() override;
};

#endif
