#ifndef VIVEXCELWINDOW_H
#define VIVEXCELWINDOW_H

#include "excel/vivexcelbase.h"

#include <QStringList>

class ExcelAddressBlock;
class VIVExcelRange;
class VIVExcelSheet;

// The window the user works in: the active sheet and the selection, which is where new
// sliders (value cells) and new watches (formula cells) come from.
class VIVExcelWindow : public VIVExcelBase
{
    Q_OBJECT

public:
    explicit VIVExcelWindow(std::unique_ptr<ExcelObject> object = nullptr,
                            QObject *parent = nullptr);

    VIVExcelRange *rangeSelection(bool keep);
    VIVExcelSheet *activeSheet(bool keep);
    // The single cells of the selection, row by row, joined with ";": with formulas, the
    // cells holding a formula; without, the other cells except those holding the empty text.
    QString selectionWithFilter(bool formulas);

public slots:
    void rangeIteratedForSelectionWithFilter(ExcelAddressBlock *block);

protected:
    std::unique_ptr<ExcelObject> createObject() override;

private:
    bool filterFormulas = false;
    VIVExcelSheet *filterSheet = nullptr;
    QStringList filteredCells;
};

#endif
