#ifndef VIVEXCELRANGE_H
#define VIVEXCELRANGE_H

#include "excel/vivexcelbase.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

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
    // False for a locked cell of a protected sheet: no slider may write there.
    bool isWritable();
    // The content the cell held before the program's first write since screen updating went
    // off, given back; false when the spreadsheet does not keep it.
    bool restoreContent();
    // The formula cells (or the other cells but those holding the empty text) of this
    // rectangle, row by row, asked of the spreadsheet at once; nothing when it cannot be asked.
    std::optional<QStringList> filteredCells(bool formulas);
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
