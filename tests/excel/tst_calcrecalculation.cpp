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

// Workbooks written the way other spreadsheet programs write theirs (cached results, a named
// expression that looks a value up in a table column by structured reference), and a plain one,
// in a private headless office: the values the link reads after its writes, cell by cell and in
// batches, with and without full recalculation. The detailed loan's balances are four formulas
// deep in the month before, and Calc reads its lookup stale after a write; the loan saved with
// manual calculation reads every formula stale.
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
    QString open(const QString &file);

    PrivateOffice office;
    QTemporaryDir copies;
    VIVExcelApplication *application = nullptr;
    QString loanTitle;
    QString detailedTitle;
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
    loanTitle = open("amortization.xlsx");
    QVERIFY(!loanTitle.isEmpty());
    detailedTitle = open("amortization-detailed.xlsx");
    QVERIFY(!detailedTitle.isEmpty());
    manualTitle = open("amortization-manual.xlsx");
    QVERIFY(!manualTitle.isEmpty());
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

QString TestCalcRecalculation::open(const QString &file)
{
    const QString copy = copies.filePath(file);
    if (!QFile::copy(QStringLiteral(MARLOWIN_TEST_DATA_DIR "/") + file, copy))
        return {};
    return office.open(copy);
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
// keep the normal recalculation; one found stale recalculates fully from then on, and its reads
// give true values again, cell by cell and in batches.
void TestCalcRecalculation::onlyStaleWorkbooksRecalculateFully_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("stale");
    QTest::newRow("xlsx with a table lookup") << "loan"
                                              << "B3"
                                              << "B5" << false;
    QTest::newRow("plain") << "plain"
                           << "A1"
                           << "B1" << false;
    QTest::newRow("xlsx with a deep table lookup") << "detailed"
                                                   << "B3"
                                                   << "B5" << true;
    QTest::newRow("xlsx saved with manual calculation") << "manual"
                                                        << "B3"
                                                        << "B5" << true;
}

void TestCalcRecalculation::onlyStaleWorkbooksRecalculateFully()
{
    QFETCH(QString, file);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(bool, stale);
    const QString title = file == "loan"       ? loanTitle
                          : file == "detailed" ? detailedTitle
                          : file == "manual"   ? manualTitle
                                               : plainTitle;
    const QString sheet = file == "plain" ? "Sheet1" : "Loan";
    VIVExcelRange *written = cell(title, sheet, input);
    VIVExcelRange *result = cell(title, sheet, output);
    QVERIFY(written && result);
    written->setValue(300.0);
    QCOMPARE(application->checkRecalculation({result}), stale);
    QCOMPARE(application->recalculatesFully({result}), stale);
    if (!stale)
        return;
    QCOMPARE(application->setCellValuesGetCellValues({written}, {700}, {result}),
             QList<qreal>{qreal(payoffMonth(700))});
    QCOMPARE(application->evaluatePoints({written}, {100, 500}, {result}),
             (QList<qreal>{qreal(payoffMonth(100)), qreal(payoffMonth(500))}));
}

QTEST_MAIN(TestCalcRecalculation)
#include "tst_calcrecalculation.moc"
