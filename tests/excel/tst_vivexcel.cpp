#include "fakeexcel.h"
#include "logcapture.h"

#include "excel/exceladdressblock.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelwindow.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

using Cells = QMap<QString, QVariant>;

// The wrappers' own logic, over the scripted stand-in of the spreadsheet program.
class TestVIVExcel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void selectionWithFilter_data();
    void selectionWithFilter();
    void cellLabels_data();
    void cellLabels();
    void addressIsAskedOnce();
    void rangeCache();
    void temporaryWrappersAreNotHandedOutAgain();
    void workbookAndWorksheetByName();
    void sheetFindsItsWorkbook();
    void exchangeWritesAllBeforeReading();
    void exchangeKeepsDoublesAndTakesNoTextForANumber();
    void exchangeWithoutWrites();
    void exchangeLengthMismatchTouchesNothing();
    void setValueWritesNumbersOnlyToRanges();
    void changeEventWrapsOneTemporaryRange();
    void applicationWithoutObjectHasNoHandle();

private:
    VIVExcelSheet *sheet();

    FakeExcel *excel = nullptr;
    VIVExcelApplication *application = nullptr;
};

void TestVIVExcel::init()
{
    excel = new FakeExcel;
    application = new VIVExcelApplication(excel->application());
}

void TestVIVExcel::cleanup()
{
    delete application;
    delete excel;
}

VIVExcelSheet *TestVIVExcel::sheet()
{
    return application->workbooks()
        ->workbook("Book1", true)
        ->worksheets()
        ->worksheet("Sheet1", true);
}

void TestVIVExcel::selectionWithFilter_data()
{
    QTest::addColumn<Cells>("values");
    QTest::addColumn<QStringList>("formulas");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<bool>("formulaCells");
    QTest::addColumn<QString>("expected");

    QTest::newRow("formula cells in walk order")
        << Cells{{"B2", 1}, {"C3", 4}} << QStringList{"C2", "B3"} << "B2:C3" << true << "C2;B3";
    QTest::newRow("value, formula and empty text")
        << Cells{{"A1", 5}, {"A3", QString("")}} << QStringList{"A2"} << "A1:A3" << false << "A1";
    QTest::newRow("cells without value count as values")
        << Cells{{"A1", "x"}} << QStringList{} << "A1:B1" << false << "A1;B1";
    QTest::newRow("several areas")
        << Cells{{"A1", 1}, {"C3", 2}} << QStringList{} << "A1;C3" << false << "A1;C3";
    QTest::newRow("no formula selected")
        << Cells{{"A1", 1}} << QStringList{} << "A1" << true << QString();
}

void TestVIVExcel::selectionWithFilter()
{
    QFETCH(Cells, values);
    QFETCH(QStringList, formulas);
    QFETCH(QString, selection);
    QFETCH(bool, formulaCells);
    QFETCH(QString, expected);

    for (auto it = values.cbegin(); it != values.cend(); ++it)
        excel->setValue(it.key(), it.value());
    for (const QString &cell : formulas)
        excel->setFormula(cell, [](FakeExcel &) { return QVariant(1.0); });
    excel->setSelection(selection);
    VIVExcelWindow *window = application->activeWindow(true);
    QCOMPARE(window->selectionWithFilter(formulaCells), expected);
    QCOMPARE(window->selectionWithFilter(formulaCells), expected);

    // A cell announced after the walk, once its temporary sheet is gone, is ignored.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ExcelAddressBlock late("A1");
    excel->clearCalls();
    window->rangeIteratedForSelectionWithFilter(&late);
    QVERIFY(excel->calls().isEmpty());
    QCOMPARE(window->selectionWithFilter(formulaCells), expected);
}

void TestVIVExcel::cellLabels_data()
{
    QTest::addColumn<Cells>("values");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("text past a number, empty cell above")
        << Cells{{"B5", 3.5}, {"A5", "Price"}} << "C5" << QStringList{"Price", ""};
    QTest::newRow("empty text stops without a label")
        << Cells{{"B5", QString("")}, {"A5", "Price"}, {"C4", 2}, {"C3", "Rate"}} << "C5"
        << QStringList{"", "Rate"};
    QTest::newRow("only numbers to the edge")
        << Cells{{"A2", 1}, {"B1", 2}} << "B2" << QStringList{"", ""};
}

void TestVIVExcel::cellLabels()
{
    QFETCH(Cells, values);
    QFETCH(QString, cell);
    QFETCH(QStringList, expected);

    for (auto it = values.cbegin(); it != values.cend(); ++it)
        excel->setValue(it.key(), it.value());
    QCOMPARE(application->cellLabels(sheet()->range(cell, false)), expected);
}

void TestVIVExcel::addressIsAskedOnce()
{
    VIVExcelRange *range = sheet()->range("D4", true);
    excel->clearCalls();
    QCOMPARE(range->address(), "D4");
    QCOMPARE(range->address(), "D4");
    range->iterateCells(true);
    QCOMPARE(excel->count("Address"), 1);
}

void TestVIVExcel::rangeCache()
{
    VIVExcelSheet *cells = sheet();
    VIVExcelRange *kept = cells->range("B2", true);
    QCOMPARE(cells->range("B2", true), kept);
    QCOMPARE(cells->range("B2", false), kept);
    QCOMPARE(kept->sheet(true), cells);

    VIVExcelRange *first = cells->range("C2", false);
    VIVExcelRange *second = cells->range("C2", false);
    QVERIFY(first != second);
    QPointer<VIVExcelRange> watched(first);
    QTRY_VERIFY(watched.isNull());

    QPointer<VIVExcelRange> dropped(kept);
    delete kept;
    VIVExcelRange *again = cells->range("B2", true);
    QVERIFY(dropped.isNull());
    QCOMPARE(again->address(), "B2");
    QCOMPARE(cells->range("B2", true), again);
}

void TestVIVExcel::temporaryWrappersAreNotHandedOutAgain()
{
    VIVExcelWorkbooks *books = application->workbooks();
    VIVExcelWorkbook *temporary = books->workbook("Book1", false);
    VIVExcelWorkbook *kept = books->workbook("Book1", true);
    QVERIFY(kept != temporary);
    QCOMPARE(books->workbook("Book1", true), kept);
    QPointer<VIVExcelWorkbook> watched(temporary);
    QTRY_VERIFY(watched.isNull());
    QCOMPARE(kept->name(), "Book1");
}

void TestVIVExcel::workbookAndWorksheetByName()
{
    VIVExcelWorkbooks *books = application->workbooks();
    QVERIFY(!books->workbook("Missing", true));
    QVERIFY(books->findChildren<VIVExcelWorkbook *>().isEmpty());

    VIVExcelWorkbook *book = books->workbook("Book1", true);
    excel->clearCalls();
    QCOMPARE(books->workbook("Book1", true), book);
    QCOMPARE(excel->count("Workbooks.Item"), 0);

    QVERIFY(!book->worksheets()->worksheet("Missing", true));
    VIVExcelWorksheet *sheet = book->worksheets()->worksheet("Sheet1", true);
    QCOMPARE(book->worksheets()->worksheet("Sheet1", true), sheet);
    QCOMPARE(book->worksheets(), book->worksheets());

    VIVExcelWorkbook *added = books->add(true);
    QCOMPARE(added->name(), "Book2");
    QVERIFY(excel->books.contains("Book2"));
}

void TestVIVExcel::sheetFindsItsWorkbook()
{
    VIVExcelWorkbook *book = application->workbooks()->workbook("Book1", true);
    QCOMPARE(sheet()->workbook(), book);

    VIVExcelSheet *active = application->activeWindow(true)->activeSheet(true);
    VIVExcelWorkbook *parent = active->workbook();
    QCOMPARE(parent->parent(), active);
    QCOMPARE(parent->name(), "Book1");
    QCOMPARE(active->workbook(), parent);
}

void TestVIVExcel::exchangeWritesAllBeforeReading()
{
    excel->setFormula("C1", [](FakeExcel &x) { return x.number("A1") + x.number("A2"); });
    excel->setValue("C3", "text");
    VIVExcelSheet *cells = sheet();
    const QList<VIVExcelRange *> writes{cells->range("A1", true), cells->range("A2", true)};
    const QList<VIVExcelRange *> reads{cells->range("C1", true), cells->range("C2", true),
                                       cells->range("C3", true)};
    excel->clearCalls();
    const QList<qreal> results = application->setCellValuesGetCellValues(writes, {2, 3}, reads);
    QCOMPARE(excel->calls(),
             QStringList({"SetValue Sheet1!A1 2", "SetValue Sheet1!A2 3", "Value Sheet1!C1",
                          "Value Sheet1!C2", "Value Sheet1!C3"}));
    QCOMPARE(results.size(), 3);
    QCOMPARE(results[0], 5.0);
    QVERIFY(std::isnan(results[1]));
    QVERIFY(std::isnan(results[2]));
}

void TestVIVExcel::exchangeKeepsDoublesAndTakesNoTextForANumber()
{
    excel->setValue("A1", 0.1);
    excel->setValue("A2", 1e300);
    excel->setValue("A3", "12");
    excel->setValue("A4", "inf");
    const QList<qreal> results = application->setCellValuesGetCellValues(
        {}, {},
        {sheet()->range("A1", true), sheet()->range("A2", true), sheet()->range("A3", true),
         sheet()->range("A4", true)});
    QCOMPARE(results.size(), 4);
    QCOMPARE(results[0], 0.1);
    QCOMPARE(results[1], 1e300);
    QVERIFY(std::isnan(results[2]));
    QVERIFY(std::isnan(results[3]));
}

void TestVIVExcel::exchangeWithoutWrites()
{
    excel->setValue("B1", 4);
    excel->clearCalls();
    QCOMPARE(application->setCellValuesGetCellValues({}, {}, {sheet()->range("B1", true)}),
             QList<qreal>{4.0});
    QCOMPARE(excel->count("SetValue"), 0);
}

void TestVIVExcel::exchangeLengthMismatchTouchesNothing()
{
    VIVExcelSheet *cells = sheet();
    const QList<VIVExcelRange *> writes{cells->range("A1", true), cells->range("A2", true),
                                        cells->range("A3", true)};
    VIVExcelRange *read = cells->range("B1", true);
    excel->clearCalls();
    LogCapture capture;
    QVERIFY(application->setCellValuesGetCellValues(writes, {1, 2}, {read}).isEmpty());
    QCOMPARE(capture.lines(), QStringList{"Incorrect data length in setCellValuesGetCellValues"});
    QVERIFY(excel->calls().isEmpty());
}

void TestVIVExcel::setValueWritesNumbersOnlyToRanges()
{
    VIVExcelRange *range = sheet()->range("A1", true);
    range->setValue(QVariant(0.1f));
    QCOMPARE(excel->value("A1"), QVariant(double(0.1f)));

    excel->clearCalls();
    LogCapture capture;
    range->setValue(QVariant("abc"));
    range->setValue(std::numeric_limits<double>::quiet_NaN());
    range->setValue(std::numeric_limits<double>::infinity());
    QCOMPARE(excel->count("SetValue"), 0);
    QCOMPARE(excel->value("A1"), QVariant(double(0.1f)));

    VIVExcelRange holdingApplication(excel->application());
    holdingApplication.setValue(2.0);
    QCOMPARE(capture.lines().last(),
             QString("Invalid range interface ExcelObject(fake application)"));
    VIVExcelRange empty;
    empty.setValue(2.0);
    QCOMPARE(capture.lines().last(), QString("Invalid range interface ExcelObject(null)"));
    QCOMPARE(excel->count("SetValue"), 0);
}

void TestVIVExcel::changeEventWrapsOneTemporaryRange()
{
    VIVExcelSheet *cells = sheet();
    QList<QPointer<VIVExcelRange>> seen;
    QStringList addresses;
    connect(cells, &VIVExcelSheet::rangeChanged, this, [&](VIVExcelRange *range) {
        seen.append(range);
        addresses.append(range->address());
        QVERIFY(!range->parent());
    });
    excel->change("Sheet1", "B2:C3");
    QCOMPARE(addresses, QStringList{"B2:C3"});
    QVERIFY(seen.first().isNull());

    delete cells;
    excel->change("Sheet1", "A1");
    QCOMPARE(addresses.size(), 1);
}

void TestVIVExcel::applicationWithoutObjectHasNoHandle()
{
    VIVExcelApplication unbound;
    QCOMPARE(unbound.hwnd(), 0);
    QVERIFY(!unbound.currentObject());
    QCOMPARE(application->hwnd(), 1);
}

QTEST_MAIN(TestVIVExcel)
#include "tst_vivexcel.moc"
