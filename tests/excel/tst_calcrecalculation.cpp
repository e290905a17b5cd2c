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
// batches. The detailed loan's balances are four formulas deep in the month before, and Calc
// reads its lookup stale after a write; the loan saved with manual calculation reads every
// formula stale.
class TestCalcRecalculation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void valuesEqualAFullRecalculation_data();
    void valuesEqualAFullRecalculation();

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
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("batch");
    for (const char *file : {"loan", "detailed", "manual", "plain"}) {
        for (bool batch : {false, true}) {
            const QString name = QString(file) + (batch ? ", batch" : ", cell by cell");
            QTest::newRow(name.toLatin1().constData()) << QString(file) << batch;
        }
    }
}

// Whichever way the link writes and reads, every value read after a write is what a full
// recalculation gives: on workbooks that read fresh anyway (the loan, a plain one), on the one
// whose deep lookup Calc leaves stale, and on the one saved with manual calculation. The first
// write leaves the result as it was, as stale and true values agree there; nothing is trusted
// on the strength of it.
void TestCalcRecalculation::valuesEqualAFullRecalculation()
{
    QFETCH(QString, file);
    QFETCH(bool, batch);
    const QString title = file == "loan"       ? loanTitle
                          : file == "detailed" ? detailedTitle
                          : file == "manual"   ? manualTitle
                                               : plainTitle;
    const bool plain = file == "plain";
    const QString sheet = plain ? "Sheet1" : "Loan";
    VIVExcelRange *input = cell(title, sheet, plain ? "A1" : "B3");
    VIVExcelRange *output = cell(title, sheet, plain ? "B1" : "B5");
    QVERIFY(input && output);
    const QList<qreal> inputs{0, 0, 100, 700, 500, 1000, 0};
    QList<qreal> read;
    if (batch) {
        read = application->evaluatePoints({input}, inputs, {output});
    } else {
        for (qreal value : inputs)
            read.append(application->setCellValuesGetCellValues({input}, {value}, {output}));
    }
    QCOMPARE(read.size(), inputs.size());
    for (qsizetype i = 0; i < inputs.size(); ++i)
        QCOMPARE(read[i], plain ? 2 * inputs[i] : qreal(payoffMonth(inputs[i])));
}

QTEST_MAIN(TestCalcRecalculation)
#include "tst_calcrecalculation.moc"
