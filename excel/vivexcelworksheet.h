#ifndef VIVEXCELWORKSHEET_H
#define VIVEXCELWORKSHEET_H

#include "excel/vivexcelsheet.h"

// A worksheet reached by name through its workbook's worksheets.
class VIVExcelWorksheet : public VIVExcelSheet
{
    Q_OBJECT

public:
    using VIVExcelSheet::VIVExcelSheet;
};

#endif
