#include "officetest.h"

#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"

#include <QTest>

bool OfficeTest::startOffice()
{
    if (!office.start())
        return false;
    application = new VIVExcelApplication(ExcelBackend::attachOrStart(), this);
    return true;
}

void OfficeTest::stopOffice()
{
    delete application;
    application = nullptr;
    office.stop();
}

bool OfficeTest::addBook()
{
    book = application->workbooks()->add(true);
    if (!book)
        return false;
    bookName = book->name();
    if (bookName.isEmpty() || !office.activate(bookName))
        return false;
    const bool inFront = QTest::qWaitFor(
        [this]() { return application->activeWorkbook(false)->name() == bookName; });
    sheet = book->worksheets()->worksheet("Sheet1", true);
    return inFront && sheet;
}

void OfficeTest::closeBook()
{
    delete book;
    book = nullptr;
    sheet = nullptr;
}
