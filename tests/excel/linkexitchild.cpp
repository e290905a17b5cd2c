// One short life of a program that uses the link: attach to the office given by pipe name and
// profile, watch a sheet for changes, write a cell, and exit the ordinary way. Its exit code
// tells the test whether it got out cleanly.

#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 4)
        return 2;
    ExcelBackend::configure(arguments[1], arguments[2]);
    {
        VIVExcelApplication office(ExcelBackend::attachOrStart());
        VIVExcelWorkbook *book = office.activeWorkbook(true);
        VIVExcelWorksheet *sheet = book ? book->worksheets()->worksheet("Sheet1", true) : nullptr;
        if (!sheet)
            return 3;
        sheet->range("A1", true)->setValue(arguments[3].toDouble());
    }
    return 0;
}
