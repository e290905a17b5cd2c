#include "privateoffice.h"

#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

// A workbook written the way other spreadsheet programs write theirs (shared formulas, cached
// results, a named expression that looks a value up in a table column by structured
// reference), the same workbook saved with manual calculation, and a plain one, in a private
// headless office: the values the link reads after its writes, cell by cell and in batches,
// with and without full recalculation.
class TestCalcRecalculation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void valuesEqualAFullRecalculation_data();
    void valuesEqualAFullRecalculation();
    void onlyStaleWorkbooksRecalculateFully_data();
    void onlyStaleWorkbooksRecalculateFully();

private:
    VIVExcelRange *cell(const QString &book, const QString &sheet, const QString &address);

    PrivateOffice office;
    QTemporaryDir copies;
    VIVExcelApplication *application = nullptr;
    QString loanTitle;
    QString manualTitle;
    QString plainTitle;
};

// Months until a loan of 200000 at 5 % a year, 360 regular payments, is paid off with the
// extra payment each month: what the workbook's B5 computes.
int payoffMonth(double extra)
{
    const double monthly = 0.05 / 12;
    const double regular = 200000 * monthly / (1 - std::pow(1 + monthly, -360));
    double balance = 200000;
    int lastOwing = 0;
    for (int month = 1; month <= 360; ++month) {
        const double owed = balance * (1 + monthly);
        balance = owed - std::min(owed, regular + extra);
        if (balance >= 0.01)
            lastOwing = month;
    }
    return lastOwing + 1;
}

void TestCalcRecalculation::initTestCase()
{
    QVERIFY(office.start());
    application = new VIVExcelApplication(ExcelBackend::attachOrStart(), this);
    for (const auto &[file, title] :
         {std::pair{"amortization.xlsx", &loanTitle}, {"amortization_manual.xlsx", &manualTitle}}) {
        const QString copy = copies.filePath(file);
        QVERIFY(QFile::copy(QStringLiteral(MARLOWIN_TEST_DATA_DIR "/") + file, copy));
        *title = office.open(copy);
        QVERIFY(!title->isEmpty());
    }
    VIVExcelWorkbook *plain = application->workbooks()->add(true);
    plainTitle = plain->name();
    QVERIFY(office.setContent(plainTitle, "A1", "0"));
    QVERIFY(office.setContent(plainTitle, "B1", "=A1*2"));
}

void TestCalcRecalculation::cleanupTestCase()
{
    delete application;
    office.stop();
}

VIVExcelRange *TestCalcRecalculation::cell(const QString &book, const QString &sheet,
                                           const QString &address)
{
    VIVExcelWorkbook *workbook = application->workbooks()->workbook(book, true);
    VIVExcelWorksheet *worksheet =
        workbook ? workbook->worksheets()->worksheet(sheet, true) : nullptr;
    return worksheet ? worksheet->range(address, true) : nullptr;
}

void TestCalcRecalculation::valuesEqualAFullRecalculation_data()
{
    QTest::addColumn<bool>("batch");
    QTest::addColumn<bool>("full");
    QTest::newRow("cell by cell") << false << false;
    QTest::newRow("batch") << true << false;
    QTest::newRow("cell by cell, recalculated fully") << false << true;
    QTest::newRow("batch, recalculated fully") << true << true;
}

// Whichever way the link writes and reads, and with or without full recalculation, the
// formula through the table's named lookup gives what the loan's closed computation gives.
void TestCalcRecalculation::valuesEqualAFullRecalculation()
{
    QFETCH(bool, batch);
    QFETCH(bool, full);
    VIVExcelRange *extra = cell(loanTitle, "Loan", "B3");
    VIVExcelRange *months = cell(loanTitle, "Loan", "B5");
    QVERIFY(extra && months);
    VIVExcelWorkbook *book = application->workbooks()->workbook(loanTitle, true);
    book->setRecalculateFully(full);
    const QList<qreal> extras{100, 200, 500, 1000, 0};
    QList<qreal> read;
    if (batch) {
        read = application->evaluatePoints({extra}, extras, {months});
    } else {
        for (qreal value : extras)
            read.append(application->setCellValuesGetCellValues({extra}, {value}, {months}));
    }
    QCOMPARE(read.size(), extras.size());
    for (qsizetype i = 0; i < extras.size(); ++i)
        QCOMPARE(read[i], qreal(payoffMonth(extras[i])));
    book->setRecalculateFully(false);
}

// Detection recalculates fully only to compare: workbooks that read true values after a write
// keep the normal recalculation. One saved with manual calculation reads the result from
// before the write until it is found out; from then on both ways of reading give true values.
void TestCalcRecalculation::onlyStaleWorkbooksRecalculateFully_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("stale");
    QTest::newRow("xlsx with a table lookup") << "loan" << false;
    QTest::newRow("xlsx saved with manual calculation") << "manual" << true;
    QTest::newRow("plain") << "plain" << false;
}

void TestCalcRecalculation::onlyStaleWorkbooksRecalculateFully()
{
    QFETCH(QString, file);
    QFETCH(bool, stale);
    const bool plain = file == "plain";
    const QString title = plain ? plainTitle : file == "loan" ? loanTitle : manualTitle;
    VIVExcelRange *input = cell(title, plain ? "Sheet1" : "Loan", plain ? "A1" : "B3");
    VIVExcelRange *result = cell(title, plain ? "Sheet1" : "Loan", plain ? "B1" : "B5");
    QVERIFY(input && result);
    input->setValue(300.0);
    QCOMPARE(application->checkRecalculation({result}), stale);
    QCOMPARE(application->recalculatesFully({result}), stale);
    if (plain)
        return;
    const QList<qreal> extras{100, 500};
    const QList<qreal> batch = application->evaluatePoints({input}, extras, {result});
    QCOMPARE(batch.size(), extras.size());
    for (qsizetype i = 0; i < extras.size(); ++i) {
        QCOMPARE(batch[i], qreal(payoffMonth(extras[i])));
        QCOMPARE(application->setCellValuesGetCellValues({input}, {extras[i]}, {result}).value(0),
                 qreal(payoffMonth(extras[i])));
    }
}

QTEST_MAIN(TestCalcRecalculation)
#include "tst_calcrecalculation.moc"
