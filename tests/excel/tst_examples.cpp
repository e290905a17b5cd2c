#include "privateoffice.h"

#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

// The example workbooks shipped with the program, opened in a private headless office: every
// input is a plain number named by the text left of it, and the formulas compute what their
// closed forms give, so a broken example is caught before a user opens it.
class TestExamples : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void inputsAreNamedNumbers_data();
    void inputsAreNamedNumbers();
    void formulasGiveTheirClosedForms_data();
    void formulasGiveTheirClosedForms();

private:
    VIVExcelRange *cell(const QString &file, const QString &sheetName, const QString &address);

    PrivateOffice office;
    QTemporaryDir copies;
    VIVExcelApplication *application = nullptr;
    QMap<QString, QString> titles;
};

void TestExamples::initTestCase()
{
    QVERIFY(office.start());
    application = new VIVExcelApplication(ExcelBackend::attachOrStart(), this);
    // Copies, so that an example the user has open in Calc neither stops the test nor gets the
    // test's lock file.
    for (const QString file : {"loan.fods", "projectile.fods", "oscillator.fods"}) {
        const QString copy = copies.filePath(file);
        QVERIFY(QFile::copy(QStringLiteral(MARLOWIN_EXAMPLES_DIR "/") + file, copy));
        const QString title = office.open(copy);
        QVERIFY2(!title.isEmpty(), qPrintable(file));
        titles.insert(file, title);
    }
}

void TestExamples::cleanupTestCase()
{
    delete application;
    office.stop();
}

VIVExcelRange *TestExamples::cell(const QString &file, const QString &sheetName,
                                  const QString &address)
{
    VIVExcelWorkbook *book = application->workbooks()->workbook(titles.value(file), true);
    if (!book)
        return nullptr;
    VIVExcelWorksheet *sheet = book->worksheets()->worksheet(sheetName, true);
    return sheet ? sheet->range(address, true) : nullptr;
}

void TestExamples::inputsAreNamedNumbers_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("label");

    const QList<std::array<const char *, 4>> inputs = {
        {"loan.fods", "Loan", "B3", "Principal"},
        {"loan.fods", "Loan", "B4", "Annual rate"},
        {"loan.fods", "Loan", "B5", "Years"},
        {"loan.fods", "Loan", "B6", "Payments per year"},
        {"projectile.fods", "Projectile", "B3", "Launch speed (m/s)"},
        {"projectile.fods", "Projectile", "B4", "Launch angle (degrees)"},
        {"projectile.fods", "Projectile", "B5", "Gravity (m/s²)"},
        {"projectile.fods", "Projectile", "B6", "Time after launch (s)"},
        {"oscillator.fods", "Oscillator", "B3", "Time (s)"},
        {"oscillator.fods", "Oscillator", "B4", "Damping rate d (1/s)"},
        {"oscillator.fods", "Oscillator", "B5", "Angular frequency ω (rad/s)"},
    };
    for (const auto &[file, sheet, address, label] : inputs)
        QTest::addRow("%s %s", file, address) << file << sheet << address << label;
}

void TestExamples::inputsAreNamedNumbers()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, address);
    QFETCH(QString, label);

    VIVExcelRange *input = cell(file, sheet, address);
    QVERIFY(input);
    QVERIFY(!input->hasFormula());
    QVERIFY(input->value().canConvert<double>());
    // Nothing but blank cells above the inputs, so the text on the left names the slider alone.
    QCOMPARE(application->cellLabels(input), (QStringList{label, QString()}));
}

void TestExamples::formulasGiveTheirClosedForms_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("address");
    QTest::addColumn<double>("expected");

    const auto payment = [](double principal, double rate, double years, double perYear) {
        const double i = rate / perYear;
        return principal * i / (1 - std::pow(1 + i, -years * perYear));
    };
    const double monthly = payment(200000, 0.045, 25, 12);
    QTest::newRow("loan payment") << "loan.fods"
                                  << "Loan"
                                  << "B8" << monthly;
    QTest::newRow("loan interest") << "loan.fods"
                                   << "Loan"
                                   << "B11" << monthly * 300 - 200000;
    QTest::newRow("loan table, 3.5 %, 10 years") << "loan.fods"
                                                 << "Loan"
                                                 << "E4" << payment(200000, 0.035, 10, 12);

    const double v = 25, angle = 40 * M_PI / 180, g = 9.81, t = 1.5;
    QTest::newRow("flight time") << "projectile.fods"
                                 << "Projectile"
                                 << "B8" << 2 * v * std::sin(angle) / g;
    QTest::newRow("range") << "projectile.fods"
                           << "Projectile"
                           << "B9" << v * v * std::sin(2 * angle) / g;
    QTest::newRow("maximum height") << "projectile.fods"
                                    << "Projectile"
                                    << "B10" << std::pow(v * std::sin(angle), 2) / (2 * g);
    QTest::newRow("distance") << "projectile.fods"
                              << "Projectile"
                              << "B11" << v * std::cos(angle) * t;
    QTest::newRow("height") << "projectile.fods"
                            << "Projectile"
                            << "B12" << v * std::sin(angle) * t - g * t * t / 2;

    const double time = 2.5, d = 0.3, w = 4;
    const double x = std::exp(-d * time) * std::cos(w * time);
    const double velocity =
        -std::exp(-d * time) * (d * std::cos(w * time) + w * std::sin(w * time));
    QTest::newRow("displacement") << "oscillator.fods"
                                  << "Oscillator"
                                  << "B7" << x;
    QTest::newRow("envelope") << "oscillator.fods"
                              << "Oscillator"
                              << "B8" << std::exp(-d * time);
    QTest::newRow("velocity") << "oscillator.fods"
                              << "Oscillator"
                              << "B9" << velocity;
    QTest::newRow("energy") << "oscillator.fods"
                            << "Oscillator"
                            << "B10" << (velocity * velocity + w * w * x * x) / 2;
}

void TestExamples::formulasGiveTheirClosedForms()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, address);
    QFETCH(double, expected);

    VIVExcelRange *output = cell(file, sheet, address);
    QVERIFY(output);
    QVERIFY(output->hasFormula());
    const double actual = output->value().toDouble();
    // The link hands values over in single precision.
    QVERIFY2(
        std::abs(actual - expected) <= 1e-6 * std::max(1.0, std::abs(expected)),
        qPrintable(QString("%1 instead of %2").arg(actual, 0, 'g', 10).arg(expected, 0, 'g', 10)));
}

QTEST_MAIN(TestExamples)
#include "tst_examples.moc"
