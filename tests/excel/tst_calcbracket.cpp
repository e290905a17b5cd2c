#include "officetest.h"

#include "excel/calc/calckernelinstaller.h"
#include "excel/calc/kernel/kernelprotocol.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

const char holdMode[] = "--hold-bracket";
const char holdBatchMode[] = "--hold-batch";
const char writeMode[] = "--write";
const char quitMode[] = "--quit-in-bracket";
const char holding[] = "holding";

// The program this test runs as a child: another run of the program that writes cells of a
// book, inside a screen-updating bracket that it then keeps open until it is stopped or that
// it quits in, or plainly, as a second client of the office. In a held batch the scan kernel
// writes the cells and reads B1; a bracket held cell by cell goes without the kernel, as where it
// cannot be installed (the tests that use it come before any kernel is in the office).
int runChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.at(1) == holdMode)
        CalcKernelInstaller::setPackage("/nonexistent/kernel.oxt");
    ExcelBackend::configure(arguments.at(2), arguments.at(3));
    VIVExcelApplication application(ExcelBackend::attachOrStart());
    VIVExcelWorkbook *book = application.workbooks()->workbook(arguments.at(4), true);
    if (!book)
        return 2;
    VIVExcelWorksheet *sheet = book->worksheets()->worksheet("Sheet1", true);
    const bool hold = arguments.at(1) != writeMode;
    if (hold)
        application.setScreenUpdating(false);
    for (const QString &write : arguments.mid(5)) {
        const QStringList parts = write.split('=');
        VIVExcelRange *cell = sheet->range(parts.at(0), true);
        if (arguments.at(1) != holdBatchMode)
            cell->setValue(parts.at(1).toDouble());
        else if (application
                     .evaluatePoints({cell}, {parts.at(1).toDouble()}, {sheet->range("B1", true)})
                     .isEmpty())
            return 3;
    }
    // Leaves without tearing down the bridge: how a program exits is not what is tested here.
    if (!hold)
        ::_exit(0);
    if (arguments.at(1) == quitMode)
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    else
        QTextStream(stdout) << holding << Qt::endl;
    return app.exec();
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

// Write brackets against a real private office, with other processes: one that dies or is
// stopped inside a bracket, and one that writes while the bracket is open.
class TestCalcBracket : public OfficeTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void killedBracketIsRepairedOnNextAttach();
    void closingAfterAKillKeepsTheOffice_data();
    void closingAfterAKillKeepsTheOffice();
    void stopSignalPutsCellsBack_data();
    void stopSignalPutsCellsBack();
    void quittingInsideABracketPutsCellsBack();
    void othersChangesKeepTheDocumentModified_data();
    void othersChangesKeepTheDocumentModified();
    void bracketEntersOnlyWrittenDocuments();
    void temporaryWrappersRestoreByCell();
    void openBracketOfALiveProgramIsLeftAlone();

private:
    QProcess *startChild(const char *mode, const QStringList &writes);
    QStringList journals() const;
    VIVExcelRange *cell(const QString &address) { return sheet->range(address, true); }
};

void TestCalcBracket::initTestCase()
{
    QVERIFY(startOffice());
}

void TestCalcBracket::cleanupTestCase()
{
    stopOffice();
}

void TestCalcBracket::init()
{
    QVERIFY(addBook());
}

void TestCalcBracket::cleanup()
{
    closeBook();
    QVERIFY(journals().isEmpty());
}

QProcess *TestCalcBracket::startChild(const char *mode, const QStringList &writes)
{
    auto *child = new QProcess(this);
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child->start(QCoreApplication::applicationFilePath(),
                 QStringList{mode, office.pipeName(), office.profileUrl(), bookName} + writes);
    return child;
}

QStringList TestCalcBracket::journals() const
{
    return QDir(office.runtimeFolder()).entryList({"marlowin-bracket-*"}, QDir::Files);
}

void TestCalcBracket::killedBracketIsRepairedOnNextAttach()
{
    for (const auto &[address, content] : QList<QPair<QString, QString>>{
             {"A1", "0.30000000000000004"}, {"A2", "'12"}, {"A3", "=A1*2"}, {"A5", "7"}})
        QVERIFY(office.setContent(bookName, address, content));
    QVERIFY(office.setModified(bookName, false));
    const QStringList history = office.undoTitles(bookName);
    QVERIFY(!history.isEmpty());

    QProcess *child = startChild(holdMode, {"A1=199", "A2=5", "A3=6", "A4=7", "A1=200"});
    QVERIFY(child->waitForReadyRead(60000));
    QCOMPARE(child->readLine().trimmed(), QByteArray(holding));
    QVERIFY(office.controllersLocked(bookName));
    QCOMPARE(journals().size(), 1);
    ::kill(child->processId(), SIGKILL);
    QVERIFY(child->waitForFinished());

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("Repaired \"" + QRegularExpression::escape(bookName) +
                                            "\" .*: 4 of 4 cells put back"));
    VIVExcelApplication reattached(ExcelBackend::attachOrStart());

    QVERIFY(sameBits(cell("A1")->value().toDouble(), 0.1 + 0.2));
    QCOMPARE(cell("A2")->value(), QVariant(QString("12")));
    QCOMPARE(office.content(bookName, "A3"), "=A1*2");
    QVERIFY(!cell("A4")->value().isValid());
    QCOMPARE(cell("A5")->value(), QVariant(7.0));
    QVERIFY(!office.controllersLocked(bookName));
    QCOMPARE(office.undoTitles(bookName), history);
    QVERIFY(office.isModified(bookName));
    QVERIFY(journals().isEmpty());
    QVERIFY(office.undo(bookName));
}

void TestCalcBracket::closingAfterAKillKeepsTheOffice_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::newRow("cell by cell") << QByteArray(holdMode);
    QTest::newRow("scan kernel") << QByteArray(holdBatchMode);
}

// The user closes a workbook that a killed program left in the middle of a bracket, before any
// other run of the program could repair it: the office lives on, and so does the unsaved work of
// its other workbooks.
void TestCalcBracket::closingAfterAKillKeepsTheOffice()
{
    QFETCH(QByteArray, mode);
    VIVExcelWorkbook *other = application->workbooks()->add(true);
    QVERIFY(other);
    const QString otherName = other->name();
    delete other;
    QVERIFY(office.setContent(otherName, "A1", "=1/3"));
    QVERIFY(office.setContent(otherName, "A2", "unsaved"));
    const QStringList otherHistory = office.undoTitles(otherName);
    QVERIFY(office.setContent(bookName, "A1", "4"));
    QVERIFY(office.setContent(bookName, "B1", "=A1*2"));
    // The program watches only an unmodified workbook for others' changes.
    QVERIFY(office.setModified(bookName, false));

    QProcess *child = startChild(mode.constData(), {"A1=9", "A2=7"});
    QVERIFY(child->waitForReadyRead(60000));
    QCOMPARE(child->readLine().trimmed(), QByteArray(holding));
    QCOMPARE(office.extensionVersion(KernelProtocol::extensionIdentifier).isEmpty(),
             mode == holdMode);
    ::kill(child->processId(), SIGKILL);
    QVERIFY(child->waitForFinished());
    QVERIFY(office.close(bookName));

    QTest::qWait(500);
    QVERIFY(office.processId() != 0);
    QCOMPARE(office.content(otherName, "A1"), "=1/3");
    QCOMPARE(office.content(otherName, "A2"), "unsaved");
    QCOMPARE(office.undoTitles(otherName), otherHistory);
    QVERIFY(office.isModified(otherName));
    QVERIFY(office.close(otherName));
    for (const QString &journal : journals())
        QFile::remove(QDir(office.runtimeFolder()).filePath(journal));
}

void TestCalcBracket::stopSignalPutsCellsBack_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestCalcBracket::stopSignalPutsCellsBack()
{
    QFETCH(int, signal);
    QVERIFY(office.setContent(bookName, "A1", "4"));
    QVERIFY(office.setContent(bookName, "B1", "=A1*10"));
    QVERIFY(office.setModified(bookName, false));
    const QStringList history = office.undoTitles(bookName);

    QProcess *child = startChild(holdMode, {"A1=9"});
    QVERIFY(child->waitForReadyRead(60000));
    QCOMPARE(office.content(bookName, "A1"), "9");
    ::kill(child->processId(), signal);
    QVERIFY(child->waitForFinished());
    QCOMPARE(child->exitStatus(), QProcess::CrashExit);

    QCOMPARE(office.content(bookName, "A1"), "4");
    QVERIFY(!office.controllersLocked(bookName));
    QCOMPARE(office.undoTitles(bookName), history);
    QVERIFY(!office.isModified(bookName));
}

void TestCalcBracket::quittingInsideABracketPutsCellsBack()
{
    QVERIFY(office.setContent(bookName, "A1", "4"));
    QProcess *child = startChild(quitMode, {"A1=9"});
    QVERIFY(child->waitForFinished(60000));
    QCOMPARE(child->exitStatus(), QProcess::NormalExit);
    QCOMPARE(office.content(bookName, "A1"), "4");
    QVERIFY(!office.controllersLocked(bookName));
}

void TestCalcBracket::othersChangesKeepTheDocumentModified_data()
{
    QTest::addColumn<QString>("exchange");
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("typed");
    for (const char *exchange : {"cell by cell", "kernel"}) {
        const QString mode = QString(exchange) == "kernel" ? "kernel" : "cell";
        QTest::addRow("%s, nobody else", exchange) << mode << "" << false << QString();
        QTest::addRow("%s, another client", exchange) << mode << "client" << true << QString();
        QTest::addRow("%s, the office's own thread", exchange)
            << mode << "office" << true << QString();
        QTest::addRow("%s, the user's unfinished entry", exchange)
            << mode << "typing" << true << "42";
    }
    QTest::newRow("kernel, the user's entry finished by Enter") << "kernel"
                                                                << "Enter" << true << "=A1*5";
    // A text that reads as a formula stays text.
    QTest::newRow("kernel, the user's unfinished text, no undo history")
        << "kernel"
        << "typing, no history" << true << "'=1+1";
    QTest::newRow("cell by cell, the user's unfinished formula, no undo history")
        << "cell"
        << "typing, no history" << true << "=A1+1";
}

// The program's own writes, cell by cell or in the kernel's batches, leave an unmodified
// document unmodified once the cells are back; anybody else's write keeps it modified. The
// user's entry, finished by Enter or by the recalculation before the program's next read (inside
// the program's own call), is kept as typed and is an undo step of its own, also where the
// bracket switched undo off.
void TestCalcBracket::othersChangesKeepTheDocumentModified()
{
    QFETCH(QString, exchange);
    QFETCH(QString, other);
    QFETCH(bool, modified);
    QFETCH(QString, typed);
    QVERIFY(office.setContent(bookName, "A1", "4"));
    QVERIFY(office.setContent(bookName, "B1", "=A1*2"));
    QVERIFY(office.setContent(bookName, "C3", "=B1*3"));
    if (!typed.isEmpty()) {
        // What the same typing gives, finished by the user.
        QVERIFY(office.select(bookName, {"C5"}));
        QVERIFY(office.typeUnfinished(bookName, typed));
        QVERIFY(office.finishEntry(bookName));
    }
    if (other.endsWith("no history"))
        QVERIFY(office.clearUndo(bookName));
    QVERIFY(office.setModified(bookName, false));
    // A new connection, which looks for the kernel when a batch first needs it.
    ExcelBackend::configure(office.pipeName(), office.profileUrl());
    VIVExcelApplication link(ExcelBackend::attachOrStart());
    VIVExcelWorksheet *cells =
        link.workbooks()->workbook(bookName, true)->worksheets()->worksheet("Sheet1", true);
    VIVExcelRange *input = cells->range("A1", true);
    VIVExcelRange *output = cells->range("B1", true);
    auto write = [&](double value) {
        if (exchange == "cell") {
            input->setValue(value);
            QCOMPARE(output->value().toDouble(), 2 * value);
        } else
            QCOMPARE(link.evaluatePoints({input}, {value}, {output}), QList<qreal>{2 * value});
    };

    const QStringList undo = office.undoTitles(bookName);
    if (other.startsWith("typing")) {
        QVERIFY(office.select(bookName, {"C3"}));
        QVERIFY(office.typeUnfinished(bookName, typed));
    }
    link.setScreenUpdating(false);
    write(5.0);
    if (other == "client") {
        // Beside the program's own cell, on its row.
        QProcess *client = startChild(writeMode, {"C1=42"});
        QVERIFY(client->waitForFinished(60000));
        QCOMPARE(client->exitCode(), 0);
    } else if (other == "office") {
        QVERIFY(office.setContentFromOffice(bookName, "C3", "42"));
    } else if (other == "Enter") {
        QVERIFY(office.select(bookName, {"C3"}));
        QVERIFY(office.typeUnfinished(bookName, typed));
        QVERIFY(office.finishEntry(bookName));
    }
    write(4.0);
    link.setScreenUpdating(true);

    QCOMPARE(office.content(bookName, "A1"), "4");
    QCOMPARE(office.isModified(bookName), modified);
    if (!typed.isEmpty()) {
        const auto model = office.model(bookName);
        QCOMPARE(office.content(bookName, "C3"), office.content(bookName, "C5"));
        QCOMPARE(int(PrivateOffice::cellOf(model, "C3")->getType()),
                 int(PrivateOffice::cellOf(model, "C5")->getType()));
        QCOMPARE(office.undoTitles(bookName).size(), undo.size() + 1);
        QVERIFY(office.undo(bookName));
        QCOMPARE(office.content(bookName, "C3"), "=B1*3");
        QCOMPARE(office.content(bookName, "A1"), "4");
    }
}

void TestCalcBracket::bracketEntersOnlyWrittenDocuments()
{
    VIVExcelWorkbook *other = application->workbooks()->add(true);
    QVERIFY(other);
    const QString otherName = other->name();
    QVERIFY(office.setContent(otherName, "A1", "1"));
    const QStringList otherHistory = office.undoTitles(otherName);

    application->setScreenUpdating(false);
    cell("A1")->setValue(5.0);
    QVERIFY(office.controllersLocked(bookName));
    QVERIFY(!office.controllersLocked(otherName));
    application->setScreenUpdating(true);

    QCOMPARE(office.undoTitles(otherName), otherHistory);
    delete other;
}

// Each write goes through a wrapper of its own; the cell's first content still counts.
void TestCalcBracket::temporaryWrappersRestoreByCell()
{
    QVERIFY(office.setContent(bookName, "A1", "4"));
    QVERIFY(office.setModified(bookName, false));

    application->setScreenUpdating(false);
    for (const double value : {5.0, 6.0, 4.0})
        sheet->range("A1", false)->setValue(value);
    application->setScreenUpdating(true);

    QVERIFY(!office.isModified(bookName));
}

// Another attach while this program's bracket is open finds the journal of a live process.
void TestCalcBracket::openBracketOfALiveProgramIsLeftAlone()
{
    QVERIFY(office.setContent(bookName, "A1", "4"));
    application->setScreenUpdating(false);
    cell("A1")->setValue(5.0);
    VIVExcelApplication second(ExcelBackend::attachOrStart());
    const bool untouched = office.controllersLocked(bookName) &&
                           office.content(bookName, "A1") == "5" && journals().size() == 1;
    cell("A1")->setValue(4.0);
    application->setScreenUpdating(true);
    QVERIFY(untouched);
}

int main(int argc, char **argv)
{
    if (argc > 1 &&
        (std::strcmp(argv[1], holdMode) == 0 || std::strcmp(argv[1], holdBatchMode) == 0 ||
         std::strcmp(argv[1], writeMode) == 0 || std::strcmp(argv[1], quitMode) == 0))
        return runChild(argc, argv);
    QApplication app(argc, argv);
    TestCalcBracket test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_calcbracket.moc"
