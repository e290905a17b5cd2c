#ifndef VIVEXCELSHEET_H
#define VIVEXCELSHEET_H

#include "excel/vivexcelbase.h"

#include <QHash>
#include <QString>

class ExcelRange;
class ExcelWorksheet;
class VIVExcelRange;
class VIVExcelWorkbook;

// A worksheet with its cache of kept cell wrappers, one per address.
class VIVExcelSheet : public VIVExcelBase
{
    Q_OBJECT

public:
    explicit VIVExcelSheet(std::unique_ptr<ExcelObject> object = nullptr,
                           QObject *parent = nullptr);

    QString name();
    // The cached wrapper for the address, or a new one (cached only with keep).
    VIVExcelRange *range(const QString &address, bool keep);
    VIVExcelWorkbook *workbook();

signals:
    // The range lives only while the signal is delivered; receivers must not keep it.
    void rangeChanged(VIVExcelRange *range);

public slots:
    // Takes ownership of range.
    void sheetChange(ExcelRange *range);

protected:
    std::unique_ptr<ExcelObject> createObject() override;
    void objectChanged() override;

private:
    ExcelWorksheet *worksheet();

    QHash<QString, VIVExcelRange *> ranges;
    VIVExcelWorkbook *workbookWrapper = nullptr;
};

#endif
