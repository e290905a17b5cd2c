#ifndef VIVEXCELRANGE_H
#define VIVEXCELRANGE_H

#include "excel/vivexcelbase.h"

#include <QString>
#include <QVariant>

class ExcelAddressBlock;
class ExcelRange;
class VIVExcelSheet;

// A cell (or the user's selection) of a worksheet. Slider and watch views bind to it; a kept
// wrapper lives in its worksheet's cache, so views on the same cell share one object.
class VIVExcelRange : public VIVExcelBase
{
    Q_OBJECT

public:
    explicit VIVExcelRange(std::unique_ptr<ExcelObject> object = nullptr,
                           QObject *parent = nullptr);

    // Asked of the spreadsheet once, then remembered.
    QString address();
    // Invalid when the read gives nothing.
    QVariant value();
    QString text();
    bool hasFormula();
    int row();
    int column();
    void setValue(const QVariant &value);
    VIVExcelSheet *sheet(bool keep);
    // Announces the cells of the address (walked when walk is true) through rangeIterated().
    void iterateCells(bool walk);

signals:
    void rangeIterated(ExcelAddressBlock *block);

public slots:
    void rangeIteration(ExcelAddressBlock *block);

protected:
    std::unique_ptr<ExcelObject> createObject() override;

private:
    ExcelRange *range();

    VIVExcelSheet *sheetWrapper = nullptr;
    QString cachedAddress;
};

#endif
