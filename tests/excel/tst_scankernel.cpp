#include "logcapture.h"
#include "privateoffice.h"

#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernelinstaller.h"
#include "excel/calc/kernel/kernelprotocol.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/task/XJob.hpp>

#include <QProcess>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>
#include <cstring>

using namespace css;

namespace {

QString readyLine()
{
    return QString("Scan kernel \"%1\" ready in the office")
        .arg(CalcKernelInstaller::carriedVersion());
}
const char unavailableLine[] = "Scan kernel unavailable, scan points are exchanged cell by cell";

// Numbers, a text with a number in it, an error, a text and an empty cell, depending on the two
// inputs in A1 and A2.
const QList<QPair<QString, QString>> model{{"B1", "=A1*A2+SIN(A1)"},
                                           {"C1", "=A1/3"},
                                           {"D1", "=TEXT(A1*A2;\"0.000\")"},
                                           {"E1", "=1/(A1-A2)"},
                                           {"F1", "=IF(A1>A2;\"big\";A2)"}};
const QStringList readCells{"B1", "C1", "D1", "E1", "F1", "G1"};

// A 21 x 15 grid over both inputs, first input fastest.
QList<qreal> gridPoints()
{
    QList<qreal> values;
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 21; ++x)
            values << 0.1 * x << 0.1 * y;
    }
    return values;
}

bool sameBits(const QList<qreal> &a, const QList<qreal> &b)
{
    return a.size() == b.size() &&
           std::memcmp(a.constData(), b.constData(), size_t(a.size()) * sizeof(qreal)) == 0;
}

} // namespace

// The scan kernel in a private headless office: installed by the link when a batch first needs
// it, replacing an older one, and the link's fallback when installing fails.
class TestScanKernel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void failedInstallFallsBackCellByCell();
    void olderKernelIsReplaced();
    void kernelMatchesCellByCellOn2DGrid();
    void staleWorkbookRecalculatesFullyInTheKernel();
    void badBatchIsRefusedAndChangesNothing_data();
    void badBatchIsRefusedAndChangesNothing();
    void killedProgramsBracketIsClosedByTheKernel();

private:
    // A new connection to the office, so the link looks for the kernel again, and a new book.
    void attach();
    QList<qreal> kernelResults();
    QList<qreal> cellByCellResults();
    QList<VIVExcelRange *> cells(const QStringList &addresses);
    uno::Reference<task::XJob> rawKernel();
    uno::Any execute(const QList<QPair<const char *, uno::Any>> &arguments);

    PrivateOffice office;
    VIVExcelApplication *application = nullptr;
    VIVExcelWorksheet *sheet = nullptr;
    QString bookName;
};

void TestScanKernel::initTestCase()
{
    QVERIFY(office.start());
}

void TestScanKernel::cleanupTestCase()
{
    delete application;
    office.stop();
}

void TestScanKernel::cleanup()
{
    CalcKernelInstaller::setPackage(":/kernel/marlowin-kernel.oxt");
}

void TestScanKernel::attach()
{
    delete application;
    ExcelBackend::configure(office.pipeName(), office.profileUrl());
    application = new VIVExcelApplication(ExcelBackend::attachOrStart(), this);
    VIVExcelWorkbook *book = application->workbooks()->add(true);
    QVERIFY(book);
    bookName = book->name();
    sheet = book->worksheets()->worksheet("Sheet1", true);
    QVERIFY(sheet);
    for (const auto &[cell, content] : model)
        QVERIFY(office.setContent(bookName, cell, content));
}

QList<VIVExcelRange *> TestScanKernel::cells(const QStringList &addresses)
{
    QList<VIVExcelRange *> ranges;
    for (const QString &address : addresses)
        ranges.append(sheet->range(address, true));
    return ranges;
}

QList<qreal> TestScanKernel::kernelResults()
{
    return application->evaluatePoints(cells({"A1", "A2"}), gridPoints(), cells(readCells));
}

QList<qreal> TestScanKernel::cellByCellResults()
{
    const QList<qreal> points = gridPoints();
    QList<qreal> results;
    for (qsizetype i = 0; i < points.size(); i += 2)
        results << application->setCellValuesGetCellValues(cells({"A1", "A2"}), points.mid(i, 2),
                                                           cells(readCells));
    return results;
}

void TestScanKernel::failedInstallFallsBackCellByCell()
{
    QTemporaryFile broken;
    QVERIFY(broken.open());
    broken.write("not a package");
    broken.close();
    CalcKernelInstaller::setPackage(broken.fileName());
    LogCapture log;
    attach();
    const QList<qreal> first = kernelResults();
    QCOMPARE(first.size(), 315 * readCells.size());
    QVERIFY(sameBits(kernelResults(), first));
    QCOMPARE(log.count(unavailableLine), 1);
    QVERIFY(sameBits(first, cellByCellResults()));
    QCOMPARE(office.extensionVersion(KernelProtocol::extensionIdentifier), QString());
}

void TestScanKernel::olderKernelIsReplaced()
{
    CalcKernelInstaller::setPackage(MARLOWIN_OLD_KERNEL_PACKAGE);
    {
        LogCapture log;
        attach();
        QCOMPARE(kernelResults().size(), 315 * readCells.size());
        QCOMPARE(log.count("the office holds kernel version 0.9.0, the program needs " +
                           CalcKernelInstaller::carriedVersion()),
                 1);
        QCOMPARE(office.extensionVersion(KernelProtocol::extensionIdentifier), "0.9.0");
    }
    CalcKernelInstaller::setPackage(":/kernel/marlowin-kernel.oxt");
    LogCapture log;
    attach();
    QCOMPARE(kernelResults().size(), 315 * readCells.size());
    QCOMPARE(log.count(readyLine()), 1);
    QCOMPARE(log.count(unavailableLine), 0);
    QCOMPARE(office.extensionVersion(KernelProtocol::extensionIdentifier),
             CalcKernelInstaller::carriedVersion());
}

// Numbers, numbers in a text, errors, texts and empty cells come out bit for bit as the
// cell-by-cell exchange reads them.
void TestScanKernel::kernelMatchesCellByCellOn2DGrid()
{
    LogCapture log;
    attach();
    const QList<qreal> kernel = kernelResults();
    QCOMPARE(log.count(readyLine()), 1);
    const QList<qreal> cellByCell = cellByCellResults();
    QVERIFY(sameBits(kernel, cellByCell));
    // The grid reaches every kind of cell.
    QCOMPARE(kernel[(6 * 21 + 2) * 6], 0.2 * (0.1 * 6) + std::sin(0.2));
    QVERIFY(std::isnan(kernel[(6 * 21 + 2) * 6 + 2]));
    QVERIFY(std::isnan(kernel[(7 * 21 + 7) * 6 + 3]));
    QVERIFY(std::isnan(kernel[(1 * 21 + 15) * 6 + 4]));
    QVERIFY(std::isnan(kernel[5]));
}

// A workbook whose formulas stay stale after a write (here: automatic calculation off) is found
// out by the recalculation check; from then on the kernel recalculates it fully after each
// point's writes, as the cell-by-cell exchange does before its reads.
void TestScanKernel::staleWorkbookRecalculatesFullyInTheKernel()
{
    attach();
    uno::Reference<sheet::XCalculatable>(office.model(bookName), uno::UNO_QUERY_THROW)
        ->enableAutomaticCalculation(false);
    application->setCellValuesGetCellValues(cells({"A1", "A2"}), {3, 4}, {});
    QVERIFY(application->checkRecalculation(cells(readCells)));
    const QList<qreal> kernel = kernelResults();
    QVERIFY(sameBits(kernel, cellByCellResults()));
    QCOMPARE(kernel[(6 * 21 + 2) * 6], 0.2 * (0.1 * 6) + std::sin(0.2));
}

uno::Reference<task::XJob> TestScanKernel::rawKernel()
{
    const uno::Reference<uno::XComponentContext> context = office.connection()->context();
    return uno::Reference<task::XJob>(
        context->getServiceManager()->createInstanceWithContext(
            OUString::createFromAscii(KernelProtocol::serviceName), context),
        uno::UNO_QUERY_THROW);
}

uno::Any TestScanKernel::execute(const QList<QPair<const char *, uno::Any>> &arguments)
{
    uno::Sequence<beans::NamedValue> named(arguments.size() + 1);
    named.getArray()[0] = {"Command", uno::Any(OUString("Evaluate"))};
    for (qsizetype i = 0; i < arguments.size(); ++i)
        named.getArray()[i + 1] = {OUString::createFromAscii(arguments[i].first),
                                   arguments[i].second};
    return rawKernel()->execute(named);
}

void TestScanKernel::badBatchIsRefusedAndChangesNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("values not whole points") << "odd values"
                                             << "3 values are not a whole number";
    QTest::newRow("no write cells") << "no writes"
                                    << "4 values are not a whole number of points of 0 write cells";
    QTest::newRow("a range for a cell") << "range"
                                        << "write cell 1 is not a single cell";
    QTest::newRow("a sheet for a cell") << "sheet"
                                        << "read cell 0 is not a single cell";
    QTest::newRow("no cell") << "null"
                             << "write cell 0 is not a single cell";
    QTest::newRow("not a spreadsheet") << "document"
                                       << "the document is not a spreadsheet";
    QTest::newRow("not a number") << "nan"
                                  << "value 3 is not a finite number";
    QTest::newRow("infinite") << "infinity"
                              << "value 0 is not a finite number";
    QTest::newRow("values missing") << "no values"
                                    << "Values is missing or not a list";
}

// Each refusal names what was wrong, and the batch wrote nothing: no cell, no undo step, no
// modified flag.
void TestScanKernel::badBatchIsRefusedAndChangesNothing()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    attach();
    QVERIFY(office.setContent(bookName, "A1", "1.25"));
    QVERIFY(office.setContent(bookName, "A2", "=B1"));
    QVERIFY(office.setModified(bookName, false));
    const QStringList history = office.undoTitles(bookName);

    const uno::Reference<frame::XModel> document = office.model(bookName);
    const uno::Reference<container::XIndexAccess> sheets(
        uno::Reference<sheet::XSpreadsheetDocument>(document, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheet> sheetObject(sheets->getByIndex(0),
                                                          uno::UNO_QUERY_THROW);
    auto cell = [&](const char *address) -> uno::Reference<uno::XInterface> {
        return sheetObject->getCellRangeByName(OUString::createFromAscii(address));
    };
    using Objects = uno::Sequence<uno::Reference<uno::XInterface>>;
    auto list = [](std::initializer_list<uno::Reference<uno::XInterface>> items) {
        return uno::Any(Objects(items.begin(), sal_Int32(items.size())));
    };
    auto numbers = [](std::initializer_list<double> items) {
        return uno::Any(uno::Sequence<double>(items.begin(), sal_Int32(items.size())));
    };
    uno::Any documentArgument{uno::Reference<uno::XInterface>(document)};
    uno::Any writes = list({cell("A1"), cell("A2")});
    uno::Any reads = list({cell("B1")});
    uno::Any values = numbers({2, 3, 4, 5});
    if (fault == "odd values")
        values = numbers({2, 3, 4});
    else if (fault == "no writes")
        writes = list({});
    else if (fault == "range")
        writes = list({cell("A1"), cell("A1:B2")});
    else if (fault == "sheet")
        reads = list({sheetObject});
    else if (fault == "null")
        writes = list({nullptr, cell("A2")});
    else if (fault == "document")
        documentArgument <<= uno::Reference<uno::XInterface>(cell("A1"));
    else if (fault == "nan")
        values = numbers({2, 3, 4, qQNaN()});
    else if (fault == "infinity")
        values = numbers({qInf(), 3, 4, 5});

    QList<QPair<const char *, uno::Any>> arguments{{KernelProtocol::document, documentArgument},
                                                   {KernelProtocol::writeCells, writes},
                                                   {KernelProtocol::readCells, reads}};
    if (fault != "no values")
        arguments.append({KernelProtocol::values, values});
    QString refusal;
    try {
        execute(arguments);
    } catch (const lang::IllegalArgumentException &e) {
        refusal = toQString(e.Message);
    }
    QVERIFY2(refusal.contains(message), qPrintable(refusal));
    QCOMPARE(office.content(bookName, "A1"), "1.25");
    QCOMPARE(office.content(bookName, "A2"), "=B1");
    QCOMPARE(office.undoTitles(bookName), history);
    QVERIFY(!office.isModified(bookName));
}

// The program that dies: it opens a write bracket over the office's workbook, evaluates one
// batch in the kernel and waits to be killed.
const char childVariable[] = "MARLOWIN_KERNEL_TEST_CHILD";

void TestScanKernel::killedProgramsBracketIsClosedByTheKernel()
{
    attach();
    QVERIFY(office.setContent(bookName, "A1", "1.25"));
    QVERIFY(office.setContent(bookName, "A2", "=B1"));
    QVERIFY(office.setModified(bookName, false));
    const QStringList history = office.undoTitles(bookName);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(childVariable,
                       QStringList{office.pipeName(), office.profileUrl(), bookName}.join('\n'));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QCoreApplication::applicationFilePath());
    QVERIFY(program.waitForStarted());
    QByteArray output;
    while (!output.contains("written") && program.waitForReadyRead(30000))
        output += program.readAllStandardOutput();
    QVERIFY(output.contains("written"));
    QCOMPARE(office.content(bookName, "A2"), "8");
    QVERIFY(office.controllersLocked(bookName));

    program.kill();
    QVERIFY(program.waitForFinished());
    QTRY_VERIFY(!office.controllersLocked(bookName));
    QCOMPARE(office.content(bookName, "A1"), "1.25");
    QCOMPARE(office.content(bookName, "A2"), "=B1");
    QCOMPARE(office.undoTitles(bookName), history);
    QVERIFY(office.isModified(bookName));
}

int childProgram(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList settings = qEnvironmentVariable(childVariable).split('\n');
    ExcelBackend::configure(settings[0], settings[1]);
    VIVExcelApplication application(ExcelBackend::attachOrStart());
    VIVExcelWorksheet *sheet = application.workbooks()
                                   ->workbook(settings[2], true)
                                   ->worksheets()
                                   ->worksheet("Sheet1", true);
    application.setScreenUpdating(false);
    application.evaluatePoints({sheet->range("A1", true), sheet->range("A2", true)}, {7, 8},
                               {sheet->range("B1", true)});
    fputs("written\n", stdout);
    fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(childVariable))
        return childProgram(argc, argv);
    QCoreApplication app(argc, argv);
    TestScanKernel test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_scankernel.moc"
