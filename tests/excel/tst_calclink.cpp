#include "logcapture.h"
#include "officetest.h"

#include "excel/excelapplication.h"
#include "excel/excelbackend.h"
#include "excel/excelprobes.h"
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

using Contents = QList<QPair<QString, QString>>;

// The link against a real office: one private headless office for the whole program.
class TestCalcLink : public OfficeTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void workbooksAndSheetsByName();
    void selectionWithFilter_data();
    void selectionWithFilter();
    void selectionAddress();
    void cellLabels_data();
    void cellLabels();
    void rangeCacheKeepsOneWrapperPerCell();
    void valueReadsAsTheCellHolds();
    void exchangeWritesFirstAndReadsNaN();
    void exchangeLengthMismatchTouchesNothing();
    void exchangeTakesNoTextForANumber();
    void protectedCellRefusesWrites();
    void writeToNonRangeWritesNothing();
    void screenUpdatingBracketLeavesDocumentAsItWas_data();
    void screenUpdatingBracketLeavesDocumentAsItWas();
    void workbookClosedDuringBracketLeavesOthersWhole();
    void failedUndoStepStillUnlocksDocument();
    void changeEventWrapsOneTemporaryRange();
    void processProbeSeesThePrivateOffice();
    void killedOfficeGivesEmptyValuesAndCleanReattach();

private:
    void fill(const Contents &contents);
    VIVExcelRange *cell(const QString &address);
};

void TestCalcLink::initTestCase()
{
    QVERIFY(startOffice());
    const QList<qint64> instances = ExcelBackend::instances();
    QCOMPARE(instances.size(), 1);
    QCOMPARE(application->hwnd(), instances.first());
}

void TestCalcLink::cleanupTestCase()
{
    stopOffice();
}

// Every test works in a workbook of its own, made through the link.
void TestCalcLink::init()
{
    QVERIFY(addBook());
}

void TestCalcLink::cleanup()
{
    closeBook();
}

void TestCalcLink::fill(const Contents &contents)
{
    for (const auto &[address, content] : contents)
        QVERIFY(office.setContent(bookName, address, content));
}

VIVExcelRange *TestCalcLink::cell(const QString &address)
{
    return sheet->range(address, true);
}

void TestCalcLink::workbooksAndSheetsByName()
{
    QCOMPARE(application->workbooks()->workbook(bookName, false)->name(), bookName);
    QCOMPARE(application->activeWorkbook(false)->name(), bookName);
    QVERIFY(!application->workbooks()->workbook("no such workbook.ods", true));
    QVERIFY(!book->worksheets()->worksheet("no such sheet", true));
    QCOMPARE(book->worksheets()->worksheet(sheet->name(), true), sheet);
    QCOMPARE(sheet->workbook(), book);
    QVERIFY(!sheet->range("not an address!", false)->object());
}

void TestCalcLink::selectionWithFilter_data()
{
    QTest::addColumn<Contents>("contents");
    QTest::addColumn<QStringList>("selection");
    QTest::addColumn<bool>("formulas");
    QTest::addColumn<QString>("expected");

    const Contents block = {{"B2", "1"}, {"C2", "=B2*2"}, {"B3", "=B2+1"}, {"C3", "4"}};
    QTest::newRow("formula cells of B2:C3") << block << QStringList{"B2:C3"} << true << "C2;B3";
    QTest::newRow("value cells of B2:C3") << block << QStringList{"B2:C3"} << false << "B2;C3";
    QTest::newRow("values, texts and empty cells, no formulas")
        << Contents{{"A1", "5"}, {"A2", "=A1"}, {"A3", "text"}} << QStringList{"A1:A4"} << false
        << "A1;A3;A4";
    QTest::newRow("single formula cell") << block << QStringList{"C2"} << true << "C2";
    QTest::newRow("values of two single cells")
        << block << QStringList{"B2", "C3"} << false << "B2;C3";
    // The office hands the areas back column by column (B2:B3, then C2).
    QTest::newRow("formulas of a rectangle and a cell")
        << block << QStringList{"B2:C2", "B3"} << true << "B3;C2";
}

void TestCalcLink::selectionWithFilter()
{
    QFETCH(Contents, contents);
    QFETCH(QStringList, selection);
    QFETCH(bool, formulas);
    QFETCH(QString, expected);

    fill(contents);
    QVERIFY(office.select(bookName, selection));
    QCOMPARE(application->activeWindow(false)->selectionWithFilter(formulas), expected);
}

void TestCalcLink::selectionAddress()
{
    QVERIFY(office.select(bookName, {"B2:C3"}));
    QCOMPARE(application->activeWindow(false)->rangeSelection(false)->address(), "B2:C3");
    QVERIFY(office.select(bookName, {"A1", "C3:D4"}));
    QCOMPARE(application->activeWindow(false)->rangeSelection(false)->address(), "A1;C3:D4");
    QVERIFY(office.select(bookName, {"B1:C1048576"}));
    QCOMPARE(application->activeWindow(false)->rangeSelection(false)->address(), "B:C");
    QVERIFY(office.select(bookName, {"A3:XFD5"}));
    QCOMPARE(application->activeWindow(false)->rangeSelection(false)->address(), "3:5");
    QCOMPARE(application->activeWindow(false)->selectionWithFilter(false), QString());
}

void TestCalcLink::cellLabels_data()
{
    QTest::addColumn<Contents>("contents");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("text left of a number, nothing above")
        << Contents{{"A5", "Price"}, {"B5", "3.5"}} << "C5" << QStringList{"Price", ""};
    QTest::newRow("labels on both sides over numbers")
        << Contents{{"A5", "Price"}, {"B5", "3.5"}, {"C1", "Rate"},
                    {"C2", "1"},     {"C3", "=C2"}, {"C4", "2"}}
        << "C5" << QStringList{"Price", "Rate"};
    QTest::newRow("text next to the cell")
        << Contents{{"B5", "Price"}, {"C4", "Rate"}} << "C5" << QStringList{"Price", "Rate"};
    QTest::newRow("empty neighbour ends the search")
        << Contents{{"A5", "Price"}, {"C3", "Rate"}} << "C5" << QStringList{"", ""};
    QTest::newRow("cell in row and column 1")
        << Contents{{"A1", "1"}} << "A1" << QStringList{"", ""};
}

void TestCalcLink::cellLabels()
{
    QFETCH(Contents, contents);
    QFETCH(QString, cell);
    QFETCH(QStringList, expected);

    fill(contents);
    QCOMPARE(application->cellLabels(sheet->range(cell, false)), expected);
}

void TestCalcLink::rangeCacheKeepsOneWrapperPerCell()
{
    VIVExcelRange *kept = sheet->range("B2", true);
    QCOMPARE(sheet->range("B2", true), kept);
    QCOMPARE(sheet->range("B2", false), kept);
    QCOMPARE(kept->sheet(false), sheet);

    VIVExcelRange *first = sheet->range("D4", false);
    VIVExcelRange *second = sheet->range("D4", false);
    QVERIFY(first != second);
    const QPointer<VIVExcelRange> temporary(first);
    QTRY_VERIFY(temporary.isNull());

    delete kept;
    VIVExcelRange *again = sheet->range("B2", true);
    QVERIFY(again);
    QCOMPARE(again->address(), "B2");
}

void TestCalcLink::valueReadsAsTheCellHolds()
{
    fill({{"A1", "2.5"},
          {"A2", "words"},
          {"A3", "=1/0"},
          {"A4", "=A1*2"},
          {"A5", "=\"\""},
          {"A7", "0"},
          {"A8", "=A1-2.5"}});
    QCOMPARE(cell("A7")->value(), QVariant(0.0));
    QCOMPARE(cell("A8")->value(), QVariant(0.0));
    QCOMPARE(cell("A1")->value(), QVariant(2.5));
    QCOMPARE(cell("A2")->value(), QVariant("words"));
    bool isNumber = true;
    cell("A3")->value().toDouble(&isNumber);
    QVERIFY(!isNumber);
    QCOMPARE(cell("A4")->value(), QVariant(5.0));
    QCOMPARE(cell("A5")->value(), QVariant(QString("")));
    QVERIFY(!cell("A6")->value().isValid());
    QVERIFY(cell("A4")->hasFormula());
    QVERIFY(!cell("A1")->hasFormula());
    QCOMPARE(cell("A1")->text(), "2.5");
    QCOMPARE(cell("C7")->row(), 7);
    QCOMPARE(cell("C7")->column(), 3);
}

void TestCalcLink::exchangeWritesFirstAndReadsNaN()
{
    fill({{"B1", "=A1*10"}, {"B3", "=A1+A2"}, {"B4", "=A2/0"}, {"B5", "text"}});
    const QList<qreal> results = application->setCellValuesGetCellValues(
        {cell("A1"), cell("A2")}, {2, 3},
        {cell("B1"), cell("B2"), cell("B3"), cell("B4"), cell("B5")});
    QCOMPARE(results.size(), 5);
    QCOMPARE(results[0], 20.0);
    QVERIFY(std::isnan(results[1]));
    QCOMPARE(results[2], 5.0);
    QVERIFY(std::isnan(results[3]));
    QVERIFY(std::isnan(results[4]));

    const QList<qreal> tenth =
        application->setCellValuesGetCellValues({cell("A1")}, {0.1}, {cell("A1")});
    QCOMPARE(tenth.size(), 1);
    QVERIFY(tenth.first() == 0.1);

    fill({{"A1", "7"}});
    QCOMPARE(application->setCellValuesGetCellValues({}, {}, {cell("B1")}), QList<qreal>{70.0});
}

void TestCalcLink::exchangeLengthMismatchTouchesNothing()
{
    fill({{"A1", "1"}, {"A2", "2"}, {"A3", "3"}});
    const QStringList history = office.undoTitles(bookName);
    LogCapture capture;
    const QList<qreal> results = application->setCellValuesGetCellValues(
        {cell("A1"), cell("A2"), cell("A3")}, {7, 8}, {cell("A1")});
    QVERIFY(results.isEmpty());
    QCOMPARE(capture.lines(), QStringList{"Incorrect data length in setCellValuesGetCellValues"});
    QCOMPARE(office.content(bookName, "A1"), "1");
    QCOMPARE(office.content(bookName, "A3"), "3");
    QCOMPARE(office.undoTitles(bookName), history);
}

// Texts that look like numbers stay texts; numbers keep double precision.
void TestCalcLink::exchangeTakesNoTextForANumber()
{
    fill({{"A1", "'12"}, {"A2", "=\"5\""}, {"A3", "'inf"}, {"A4", "=1E300"}, {"A5", "=1/3"}});
    QCOMPARE(cell("A1")->value(), QVariant(QString("12")));
    const QList<qreal> results = application->setCellValuesGetCellValues(
        {}, {}, {cell("A1"), cell("A2"), cell("A3"), cell("A4"), cell("A5")});
    QCOMPARE(results.size(), 5);
    QVERIFY(std::isnan(results[0]));
    QVERIFY(std::isnan(results[1]));
    QVERIFY(std::isnan(results[2]));
    QVERIFY(results[3] == 1e300);
    QVERIFY(results[4] == 1.0 / 3);
}

void TestCalcLink::protectedCellRefusesWrites()
{
    fill({{"A1", "1"}, {"B1", "2"}});
    QVERIFY(office.protectSheet(bookName, {"B1"}));
    QVERIFY(!cell("A1")->isWritable());
    QVERIFY(cell("B1")->isWritable());

    for (const bool bracket : {false, true}) {
        if (bracket)
            application->setScreenUpdating(false);
        QTest::ignoreMessage(QtWarningMsg, "The cell is protected \"A1\"");
        cell("A1")->setValue(5.0);
        cell("B1")->setValue(7.0);
        if (bracket)
            application->setScreenUpdating(true);
        QCOMPARE(office.content(bookName, "A1"), "1");
        QCOMPARE(office.content(bookName, "B1"), "7");
    }
}

void TestCalcLink::writeToNonRangeWritesNothing()
{
    VIVExcelRange holdingApplication(ExcelBackend::attachOrStart());
    LogCapture capture;
    holdingApplication.setValue(5.0);
    QCOMPARE(capture.lines().size(), 1);
    QVERIFY2(capture.lines().first().startsWith("Invalid range interface ExcelObject(LibreOffice"),
             qPrintable(capture.lines().first()));
}

void TestCalcLink::screenUpdatingBracketLeavesDocumentAsItWas_data()
{
    QTest::addColumn<bool>("userHistory");
    QTest::addColumn<bool>("modifiedBefore");
    QTest::addColumn<bool>("restore");
    QTest::addColumn<bool>("modifiedAfter");

    QTest::newRow("history kept, unmodified again") << true << false << true << false;
    QTest::newRow("empty history, unmodified again") << false << false << true << false;
    QTest::newRow("modified document stays modified") << true << true << true << true;
    QTest::newRow("values not written back: modified") << true << false << false << true;
}

void TestCalcLink::screenUpdatingBracketLeavesDocumentAsItWas()
{
    QFETCH(bool, userHistory);
    QFETCH(bool, modifiedBefore);
    QFETCH(bool, restore);
    QFETCH(bool, modifiedAfter);

    fill({{"A1", "4"}, {"B1", "=A1*A1"}});
    if (!userHistory)
        QVERIFY(office.clearUndo(bookName));
    QVERIFY(office.setModified(bookName, modifiedBefore));
    const QStringList history = office.undoTitles(bookName);
    QCOMPARE(history.isEmpty(), !userHistory);
    const QVariant old = cell("A1")->value();

    application->setScreenUpdating(false);
    for (int point = 0; point < 120; ++point)
        application->setCellValuesGetCellValues({cell("A1")}, {point * 0.5}, {cell("B1")});
    if (restore)
        cell("A1")->setValue(old);
    application->setScreenUpdating(true);

    QCOMPARE(office.undoTitles(bookName), history);
    QCOMPARE(office.isModified(bookName), modifiedAfter);
    if (restore) {
        QCOMPARE(office.content(bookName, "A1"), "4");
    }
    if (userHistory && restore) {
        QVERIFY(office.undo(bookName));
        QCOMPARE(office.content(bookName, "B1"), QString());
    }
}

// A workbook the user closes while the link writes fails only its own calls: the others are
// unlocked again and the link goes on working.
void TestCalcLink::workbookClosedDuringBracketLeavesOthersWhole()
{
    fill({{"A1", "4"}});
    const QStringList history = office.undoTitles(bookName);
    VIVExcelWorkbook *other = application->workbooks()->add(true);
    QVERIFY(other);
    const QString otherName = other->name();

    application->setScreenUpdating(false);
    cell("A1")->setValue(5.0);
    other->worksheets()->worksheet("Sheet1", false)->range("A1", false)->setValue(1.0);
    const bool bothLocked =
        office.controllersLocked(bookName) && office.controllersLocked(otherName);
    QVERIFY(office.close(otherName));
    cell("A1")->setValue(4.0);
    application->setScreenUpdating(true);
    QVERIFY(bothLocked);
    delete other;

    QVERIFY(!office.controllersLocked(bookName));
    QCOMPARE(office.undoTitles(bookName), history);
    QCOMPARE(cell("A1")->value(), QVariant(4.0));
    QVERIFY(application->hwnd() != 0);
}

void TestCalcLink::failedUndoStepStillUnlocksDocument()
{
    fill({{"A1", "4"}});
    application->setScreenUpdating(false);
    cell("A1")->setValue(5.0);
    QVERIFY(office.leaveUndoContext(bookName));
    application->setScreenUpdating(true);

    QVERIFY(!office.controllersLocked(bookName));
    QCOMPARE(cell("A1")->value(), QVariant(5.0));
}

void TestCalcLink::changeEventWrapsOneTemporaryRange()
{
    QStringList changed;
    QList<QPointer<VIVExcelRange>> ranges;
    connect(sheet, &VIVExcelSheet::rangeChanged, this, [&](VIVExcelRange *range) {
        changed.append(range->address());
        ranges.append(range);
    });
    QVERIFY(office.select(bookName, {"D6"}));
    QVERIFY(office.type(bookName, "12"));
    QTRY_COMPARE(changed, QStringList{"D6"});
    QVERIFY(ranges.first().isNull());
}

void TestCalcLink::processProbeSeesThePrivateOffice()
{
    QVERIFY(isExcelProcessRunning());
}

void TestCalcLink::killedOfficeGivesEmptyValuesAndCleanReattach()
{
    fill({{"A1", "3"}});
    VIVExcelRange *a1 = cell("A1");
    QCOMPARE(a1->value(), QVariant(3.0));
    const qint64 before = application->hwnd();

    office.kill();
    QVERIFY(!a1->value().isValid());
    a1->setValue(4.0);
    QVERIFY(std::isnan(application->setCellValuesGetCellValues({a1}, {5}, {a1}).first()));
    QCOMPARE(application->hwnd(), 0);
    QVERIFY(!application->activeWindow(false)->rangeSelection(false)->object());
    QVERIFY(!isExcelProcessRunning());
    QVERIFY(ExcelBackend::instances().isEmpty());
    delete book;
    book = nullptr;

    QVERIFY(office.start());
    const QList<qint64> instances = ExcelBackend::instances();
    QCOMPARE(instances.size(), 1);
    QVERIFY(instances.first() != before);
    QVERIFY(!ExcelBackend::attach(instances.first()));
    VIVExcelApplication reattached(ExcelBackend::attachOrStart());
    QCOMPARE(reattached.hwnd(), instances.first());
    VIVExcelWorkbook *fresh = reattached.workbooks()->add(false);
    QTRY_VERIFY(ExcelBackend::attach(instances.first()));
    VIVExcelRange *b2 = fresh->worksheets()->worksheet("Sheet1", false)->range("B2", false);
    b2->setValue(8.0);
    QCOMPARE(b2->value(), QVariant(8.0));
}

QTEST_MAIN(TestCalcLink)
#include "tst_calclink.moc"
