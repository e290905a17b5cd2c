#ifndef VIVEXCELWORKBOOKS_H
#define VIVEXCELWORKBOOKS_H

#include "excel/vivexcelbase.h"

class VIVExcelWorkbook;

// The open workbooks of an application.
class VIVExcelWorkbooks : public VIVExcelBase
{
    Q_OBJECT

public:
    explicit VIVExcelWorkbooks(QObject *parent = nullptr);

    // A workbook wrapper made earlier with that name, or a new one; null when no workbook of
    // that name is open.
    VIVExcelWorkbook *workbook(const QString &name, bool keep);
    VIVExcelWorkbook *add(bool keep);

protected:
    std::unique_ptr<ExcelObject> createObject() override;
};

#endif
