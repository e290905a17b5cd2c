#include "excel/calc/calcconnection.h"
#include "privateoffice.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XStorable.hpp>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// The sweep program as a user runs it. Every run gets a temporary folder of its own (TMPDIR),
// so the offices it starts, and anything they leave behind, can be told from everybody else's.
namespace {

const int runWaitMs = 300000;
// Large enough for the files the offices write into their profiles, too small for the sweep's
// output, so only the output meets a full disk.
const rlim_t smallDiskBytes = 1 << 20;

// Where the output of a run goes: the file named by --out, that file on a disk that fills up,
// or a standard output that cannot take anything.
enum class Output { File, FullDisk, FullStandardOutput };

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray digest(const QString &path)
{
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256);
}

// The offices (and, unless only offices are asked for, their launchers) whose profile lies
// below folder.
QList<qint64> officesBelow(const QString &folder, bool launchers = true)
{
    const QByteArray marker = "-env:UserInstallation=file://" + QFile::encodeName(folder);
    QList<qint64> found;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        const QByteArray name = readAll("/proc/" + entry + "/comm").trimmed();
        if (numeric && (name == "soffice.bin" || (launchers && name == "oosplash")) &&
            readAll("/proc/" + entry + "/cmdline").contains(marker))
            found.append(pid);
    }
    return found;
}

QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    return files;
}

// Each worker's office takes a lock on its copy when it has opened it.
int openedCopies(const QString &folder)
{
    return int(filesBelow(folder).filter(QRegularExpression("/\\.~lock\\.[^/]*#$")).size());
}

QList<QList<QByteArray>> rowsOf(const QByteArray &text)
{
    QList<QList<QByteArray>> rows;
    for (const QByteArray &line : text.split('\n')) {
        if (!line.isEmpty())
            rows.append(line.split(','));
    }
    return rows;
}

// The loan of the project's amortization workbooks, computed as their cells compute it:
// B4 the regular payment over 360 months, B5 the month the loan is paid off.
double payment(double principal, double rate)
{
    const double monthly = rate / 12;
    return principal * monthly / (1 - std::pow(1 + monthly, -360));
}

double payoffMonth(double principal, double rate, double extra)
{
    const double regular = payment(principal, rate);
    double balance = principal;
    int lastOwing = -1;
    for (int month = 0; month < 360; ++month) {
        const double owed = balance * (1 + rate / 12);
        balance = owed - std::min(owed, regular + extra);
        if (balance >= 0.01)
            lastOwing = month;
    }
    return lastOwing + 2;
}

// Every row of an amortization sweep over B1 (principal) and B3 (extra payment), watching B4
// and B5 at the workbook's rate of 5 %.
void compareWithLoan(const QByteArray &text, int points)
{
    const QList<QList<QByteArray>> rows = rowsOf(text);
    QCOMPARE(rows.size(), points + 2);
    QCOMPARE(rows[0], QList<QByteArray>({"point", "Loan.B1", "Loan.B3", "Loan.B4", "Loan.B5"}));
    QCOMPARE(rows[1], QList<QByteArray>(
                          {"label", "Principal", "Extra payment", "Payment", "Months to pay off"}));
    for (int i = 0; i < points; ++i) {
        const QList<QByteArray> &row = rows[i + 2];
        QCOMPARE(row.size(), 5);
        QCOMPARE(row[0].toInt(), i);
        const double principal = row[1].toDouble();
        const double extra = row[2].toDouble();
        QVERIFY2(std::abs(row[3].toDouble() - payment(principal, 0.05)) < 1e-9 * principal,
                 row.join(',').constData());
        QVERIFY2(row[4].toDouble() == payoffMonth(principal, 0.05, extra),
                 row.join(',').constData());
    }
}

const char modelWorkbook[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.3"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet>
<table:table table:name="Model">
<table:table-row><table:table-cell office:value-type="string"><text:p>Width</text:p></table:table-cell>
 <table:table-cell office:value-type="float" office:value="2"/></table:table-row>
<table:table-row><table:table-cell office:value-type="string"><text:p>Height</text:p></table:table-cell>
 <table:table-cell office:value-type="float" office:value="3"/></table:table-row>
<table:table-row><table:table-cell office:value-type="string"><text:p>Area</text:p></table:table-cell>
 <table:table-cell table:formula="of:=[.B1]*[.B2]"/></table:table-row>
<table:table-row><table:table-cell office:value-type="string"><text:p>Mix</text:p></table:table-cell>
 <table:table-cell table:formula="of:=[.B1]*[.B1]-[.B2]+0.5"/></table:table-row>
<table:table-row><table:table-cell office:value-type="string"><text:p>Word</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>text</text:p></table:table-cell></table:table-row>
</table:table>
<table:table table:name="My sheet">
<table:table-row><table:table-cell office:value-type="string"><text:p>Scaled</text:p></table:table-cell>
 <table:table-cell table:formula="of:=[$Model.B3]*10"/></table:table-row>
</table:table>
<table:table table:name="Locked" table:protected="true">
<table:table-row><table:table-cell office:value-type="string"><text:p>Fixed</text:p></table:table-cell>
 <table:table-cell office:value-type="float" office:value="1"/></table:table-row>
</table:table>
<table:named-expressions>
 <table:named-range table:name="Depth" table:base-cell-address="$Model.$B$2"
  table:cell-range-address="$Model.$B$2"/>
 <table:named-range table:name="Pair" table:base-cell-address="$Model.$B$1"
  table:cell-range-address="$Model.$B$1:.$B$2"/>
</table:named-expressions>
</office:spreadsheet></office:body></office:document>
)";

} // namespace

Q_DECLARE_METATYPE(Output)

class TestSweep : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void sweepEqualsFullRecalculation_data();
    void sweepEqualsFullRecalculation();
    void referencesBySheetAndName();
    void jobsAndShardsGiveTheSameFile();
    void killedOfficeIsReplaced();
    void interruptionLeavesNothing_data();
    void interruptionLeavesNothing();
    void badInput_data();
    void badInput();

private:
    QString userFile(const QString &name);
    QString modelFile();
    QProcessEnvironment environment() const;
    Run run(const QStringList &arguments, Output output = Output::File);
    void startRun(QProcess &process, const QStringList &arguments);
    bool waitForOpenedCopies(int count);

    QTemporaryDir samples;                  // workbooks made by an office for the tests
    std::unique_ptr<QTemporaryDir> scratch; // TMPDIR of the runs
    std::unique_ptr<QTemporaryDir> user;    // the user's own folder
};

// A workbook that opens only with its password.
void TestSweep::initTestCase()
{
    using namespace css;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    {
        PrivateOffice office;
        QVERIFY(office.start());
        QFile model(samples.filePath("model.fods"));
        QVERIFY(model.open(QIODevice::WriteOnly) && model.write(modelWorkbook) > 0);
        model.close();
        const QString title = office.open(model.fileName());
        QVERIFY(!title.isEmpty());
        beans::PropertyValue properties[2];
        properties[0].Name = "FilterName";
        properties[0].Value <<= OUString("calc8");
        properties[1].Name = "Password";
        properties[1].Value <<= OUString("secret");
        uno::Reference<frame::XStorable>(office.model(title), uno::UNO_QUERY_THROW)
            ->storeToURL(toOUString(QUrl::fromLocalFile(samples.filePath("secret.ods")).toString()),
                         uno::Sequence<beans::PropertyValue>(properties, 2));
    }
    qputenv("XDG_RUNTIME_DIR", runtime);
    QVERIFY(QFileInfo(samples.filePath("secret.ods")).size() > 0);
}

void TestSweep::init()
{
    scratch = std::make_unique<QTemporaryDir>();
    user = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch->isValid() && user->isValid());
}

// Whatever a test did, no office of its runs may outlive it and nothing may be left behind.
void TestSweep::cleanup()
{
    const QList<qint64> offices = officesBelow(scratch->path());
    for (const qint64 pid : offices)
        ::kill(pid_t(pid), SIGKILL);
    QVERIFY2(offices.isEmpty(), "an office outlived its run");
    QCOMPARE(filesBelow(scratch->path()), QStringList());
}

QString TestSweep::userFile(const QString &name)
{
    const QString path = QDir(user->path()).filePath(name);
    QFile::copy(QDir(MARLOWIN_TEST_DATA_DIR).filePath(name), path);
    return path;
}

QString TestSweep::modelFile()
{
    const QString path = QDir(user->path()).filePath("model.fods");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(modelWorkbook);
    return path;
}

QProcessEnvironment TestSweep::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", scratch->path());
    // The program's diagnostics are what a user sees, not the developers' debug output.
    environment.remove("QT_LOGGING_RULES");
    return environment;
}

void TestSweep::startRun(QProcess &process, const QStringList &arguments)
{
    process.setProcessEnvironment(environment());
    process.setWorkingDirectory(user->path());
    process.start(MARLOWIN_SWEEP_PROGRAM, arguments);
}

Run TestSweep::run(const QStringList &arguments, Output output)
{
    QProcess process;
    if (output == Output::FullDisk) {
        // A write past the limit fails with EFBIG, as on a full disk, instead of ending the
        // program.
        process.setChildProcessModifier([]() {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{smallDiskBytes, smallDiskBytes};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    } else if (output == Output::FullStandardOutput) {
        process.setStandardOutputFile("/dev/full");
    }
    startRun(process, arguments);
    Run result;
    if (!process.waitForFinished(runWaitMs))
        process.kill();
    process.waitForFinished();
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

bool TestSweep::waitForOpenedCopies(int count)
{
    QDeadlineTimer deadline(120000);
    while (openedCopies(scratch->path()) < count && !deadline.hasExpired())
        QTest::qWait(20);
    return !deadline.hasExpired();
}

// The project's amortization workbooks read stale after a write unless they are recalculated
// fully: the detailed one with automatic calculation on, the other saved with manual calculation.
// The user's file stays as it was, and unlocked.
void TestSweep::sweepEqualsFullRecalculation_data()
{
    QTest::addColumn<QString>("workbook");
    QTest::addColumn<QString>("jobs");
    QTest::newRow("deep chain, 2 jobs") << "amortization-detailed.xlsx"
                                        << "2";
    QTest::newRow("manual calculation, 1 job") << "amortization-manual.xlsx"
                                               << "1";
}

void TestSweep::sweepEqualsFullRecalculation()
{
    QFETCH(QString, workbook);
    QFETCH(QString, jobs);
    const QString path = userFile(workbook);
    const QByteArray before = digest(path);
    const Run result = run({path, "--vary", "B1=100000:300000:5", "--vary", "$B$3=0:1500:4",
                            "--watch", "B4:B5", "--jobs", jobs, "--plot", "pictures"});
    QVERIFY2(result.status == 0, result.err.constData());
    compareWithLoan(result.out, 20);
    // A picture that shows the values differs from the blank background at its centre.
    const QDir pictures(QDir(user->path()).filePath("pictures"));
    for (const QString name : {"Loan.B4-map.png", "Loan.B5-map.png", "Loan.B5-surface.png"}) {
        const QImage image(pictures.filePath(name));
        QVERIFY2(!image.isNull(), qPrintable(name));
        QVERIFY2(image.pixel(image.rect().center()) != image.pixel(1, 1), qPrintable(name));
    }
    QCOMPARE(digest(path), before);
    QCOMPARE(QDir(user->path()).entryList(QDir::Files | QDir::Hidden), QStringList{workbook});
}

void TestSweep::referencesBySheetAndName()
{
    const Run result =
        run({modelFile(), "--vary", "Depth=1:3:3", "--vary", "'Model'!$B$1=0.5:0.5:1", "--watch",
             "'My sheet'.B1,B3:B4,B5", "--format", "tsv", "--quiet"});
    QVERIFY2(result.status == 0, result.err.constData());
    const QList<QByteArray> lines = result.out.split('\n');
    QCOMPARE(lines.value(0),
             QByteArray("point\tModel.B2\tModel.B1\t'My sheet'.B1\tModel.B3\tModel.B4\tModel.B5"));
    QCOMPARE(lines.value(1), QByteArray("label\tHeight\tWidth\tScaled\tArea\tMix\tWord"));
    QCOMPARE(lines.value(2), QByteArray("0\t1\t0.5\t5\t0.5\t-0.25\t"));
    QCOMPARE(lines.value(4), QByteArray("2\t3\t0.5\t15\t1.5\t-2.25\t"));
    QCOMPARE(result.err, QByteArray());
}

// One office or two, one run or two shards run by a job runner and merged: the same bytes.
void TestSweep::jobsAndShardsGiveTheSameFile()
{
    if (QStandardPaths::findExecutable("parallel").isEmpty())
        QSKIP("GNU parallel is not installed (scripts/setup.sh installs it)");
    const QString path = userFile("amortization-detailed.xlsx");
    const QStringList sweep{path,      "--vary", "B1=150000:250000:8", "--vary", "B3=0:900:5",
                            "--watch", "B4,B5"};
    const QDir folder(user->path());
    Run result = run(sweep + QStringList{"--jobs", "1", "--out", "one.csv"});
    QVERIFY2(result.status == 0, result.err.constData());
    result = run(sweep + QStringList{"--jobs", "2", "--out", "two.csv"});
    QVERIFY2(result.status == 0, result.err.constData());
    QCOMPARE(readAll(folder.filePath("two.csv")), readAll(folder.filePath("one.csv")));
    compareWithLoan(readAll(folder.filePath("one.csv")), 40);

    QProcess parallel;
    parallel.setProcessEnvironment(environment());
    parallel.setWorkingDirectory(user->path());
    parallel.start("parallel", QStringList{MARLOWIN_SWEEP_PROGRAM} + sweep +
                                   QStringList{"--jobs", "1", "--shard", "{}/2", "--out",
                                               "shard{}.csv", ":::", "1", "2"});
    QVERIFY(parallel.waitForFinished(runWaitMs));
    QVERIFY2(parallel.exitCode() == 0, parallel.readAllStandardError().constData());
    result = run({"merge", "merged.csv", "shard2.csv"});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains("1 of 2 shards"), result.err.constData());
    result = run({"merge", "merged.csv", "shard2.csv", "shard1.csv"});
    QVERIFY2(result.status == 0, result.err.constData());
    QCOMPARE(readAll(folder.filePath("merged.csv")), readAll(folder.filePath("one.csv")));
}

void TestSweep::killedOfficeIsReplaced()
{
    QProcess process;
    startRun(process, {userFile("amortization-detailed.xlsx"), "--vary", "B3=0:1995:400", "--vary",
                       "B1=200000:200000:1", "--watch", "B4,B5", "--jobs", "2"});
    // The first office opens its copy before the sweep begins, so once the second has opened
    // its own the first is evaluating points.
    QVERIFY(waitForOpenedCopies(2));
    qint64 first = 0;
    for (const qint64 pid : officesBelow(scratch->path(), false)) {
        if (readAll(QString("/proc/%1/cmdline").arg(pid)).contains("/worker0/"))
            first = pid;
    }
    QVERIFY(first > 0);
    QVERIFY(::kill(pid_t(first), SIGKILL) == 0);
    QVERIFY(process.waitForFinished(runWaitMs));
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(process.exitCode() == 0, err.constData());
    QVERIFY2(err.contains("starting it again"), err.constData());
    // Axes swapped against compareWithLoan's order: B3 first.
    QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    QCOMPARE(lines.size(), 403);
    for (int i = 2; i < 402; ++i) {
        const QList<QByteArray> row = lines[i].split(',');
        QVERIFY2(row.value(4).toDouble() == payoffMonth(200000, 0.05, row.value(1).toDouble()),
                 lines[i].constData());
    }
}

void TestSweep::interruptionLeavesNothing_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("interrupted") << int(SIGINT);
    QTest::newRow("killed") << int(SIGKILL);
}

// An interrupted run stops its offices and removes its files itself. A killed one cannot, so
// the next run stops the offices it left and removes its folder.
void TestSweep::interruptionLeavesNothing()
{
    QFETCH(int, signalNumber);
    QProcess process;
    startRun(process, {userFile("amortization-detailed.xlsx"), "--vary", "B3=0:1000:4000",
                       "--watch", "B5", "--jobs", "2", "--out", "never.csv"});
    QVERIFY(waitForOpenedCopies(2));
    QVERIFY(::kill(pid_t(process.processId()), signalNumber) == 0);
    QVERIFY(process.waitForFinished(30000));
    QVERIFY(!QFile::exists(QDir(user->path()).filePath("never.csv")));
    if (signalNumber == SIGINT) {
        QCOMPARE(process.exitCode(), 130);
    } else {
        QCOMPARE(officesBelow(scratch->path(), false).size(), 2);
        const Run next = run({modelFile(), "--vary", "Depth=1:3:3", "--watch", "B3", "--quiet"});
        QVERIFY2(next.status == 0, next.err.constData());
    }
    QCOMPARE(officesBelow(scratch->path()), QList<qint64>());
    QCOMPARE(filesBelow(scratch->path()), QStringList());
}

void TestSweep::badInput_data()
{
    QTest::addColumn<QString>("workbook");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<Output>("output");
    const QStringList watch{"--watch", "B3"};
    const QStringList sweep = QStringList{"--vary", "B1=0:1:2"} + watch;
    QTest::newRow("missing workbook")
        << "missing.xlsx" << sweep << 2 << "cannot read" << Output::File;
    QTest::newRow("not a spreadsheet")
        << "notes.xlsx" << sweep << 2 << "cannot open" << Output::File;
    QTest::newRow("needs a password")
        << "secret.ods" << sweep << 2 << "secret.ods: it is protected by a password"
        << Output::File;
    const QStringList longSweep{"--vary", "B1=0:1:40000", "--watch", "B3:B4"};
    QTest::newRow("disk full") << "" << longSweep << 2 << "cannot write x.csv" << Output::FullDisk;
    QTest::newRow("standard output full")
        << "" << longSweep + QStringList{"--out", "-"} << 2 << "cannot write to standard output"
        << Output::FullStandardOutput;
    QTest::newRow("count below one")
        << "" << QStringList{"--vary", "B1=1:2:0"} + watch << 1 << "COUNT" << Output::File;
    QTest::newRow("from not a number")
        << "" << QStringList{"--vary", "B1=x:2:3"} + watch << 1 << "FROM and TO" << Output::File;
    QTest::newRow("shard beyond its count")
        << "" << QStringList{"--vary", "B1=1:2:3", "--shard", "3/2"} + watch << 1 << "--shard 3/2"
        << Output::File;
    QTest::newRow("grid too large")
        << "" << QStringList{"--vary", "B1=0:1:20000", "--vary", "B2=0:1:20000"} + watch << 1
        << "--force" << Output::File;
    QTest::newRow("same input twice")
        << ""
        << QStringList{"--vary", "B1=0:1:2", "--vary", "Depth=0:1:2", "--vary", "B2=0:1:2"} + watch
        << 1 << "varied twice" << Output::File;
    QTest::newRow("unknown name") << "" << QStringList{"--vary", "Nowhere=0:1:2"} + watch << 1
                                  << "Nowhere" << Output::File;
    QTest::newRow("unknown sheet") << "" << QStringList{"--vary", "Plan.B1=0:1:2"} + watch << 1
                                   << "no sheet \"Plan\"" << Output::File;
    QTest::newRow("cell outside the sheet")
        << "" << QStringList{"--vary", "B1=0:1:2", "--watch", "B99999999"} << 1
        << "outside the sheet" << Output::File;
    QTest::newRow("name of several cells") << "" << QStringList{"--vary", "Pair=0:1:2"} + watch << 1
                                           << "not a single cell" << Output::File;
    QTest::newRow("watch on an input")
        << "" << QStringList{"--vary", "B1=0:1:2", "--watch", "B1:B3"} << 1 << "includes the input"
        << Output::File;
    QTest::newRow("input holds a formula")
        << "" << QStringList{"--vary", "B3=0:1:2", "--watch", "B4"} << 2
        << "Model.B3 holds a formula" << Output::File;
    QTest::newRow("input holds a text") << "" << QStringList{"--vary", "B5=0:1:2"} + watch << 2
                                        << "Model.B5 holds a text" << Output::File;
    QTest::newRow("input protected") << "" << QStringList{"--vary", "Locked.B1=0:1:2"} + watch << 2
                                     << "Locked.B1 is protected" << Output::File;
}

// A bad argument, workbook or output is named with what is wrong, and the user's folder is left
// as it was: an earlier output file keeps its content, and no temporary file stays behind.
void TestSweep::badInput()
{
    QFETCH(QString, workbook);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(Output, output);
    const QDir folder(user->path());
    const QString path = workbook.isEmpty() ? modelFile() : folder.filePath(workbook);
    if (!workbook.isEmpty())
        QFile::copy(samples.filePath(workbook), path);
    for (const auto &[name, text] :
         {std::pair{"notes.xlsx", "not a workbook\n"}, std::pair{"x.csv", "earlier results\n"}}) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) > 0);
    }
    const QStringList before = folder.entryList(QDir::Files | QDir::Hidden);
    const Run result = run(QStringList{path, "--out", "x.csv"} + arguments, output);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QCOMPARE(readAll(folder.filePath("x.csv")), QByteArray("earlier results\n"));
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), before);
}

QTEST_MAIN(TestSweep)
#include "tst_sweep.moc"
