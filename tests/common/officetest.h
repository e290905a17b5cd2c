#ifndef OFFICETEST_H
#define OFFICETEST_H

#include "privateoffice.h"

#include <QObject>
#include <QString>

class VIVExcelApplication;
class VIVExcelWorkbook;
class VIVExcelWorksheet;

// What tests against a private office share: one office for the whole test program with the
// link attached to it, and a new workbook for every test, made through the link and in front.
// A test program calls these from its initTestCase, cleanupTestCase, init and cleanup.
class OfficeTest : public QObject
{
    Q_OBJECT

protected:
    bool startOffice();
    void stopOffice();
    bool addBook();
    void closeBook();

    PrivateOffice office;
    VIVExcelApplication *application = nullptr;
    VIVExcelWorkbook *book = nullptr;
    VIVExcelWorksheet *sheet = nullptr;
    QString bookName;
};

#endif
