#include "excel/calc/officeprocess.h"
#include "excel/excelprobes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

// The yes/no probes for the spreadsheet program, on made-up process tables and titles.
class TestExcelProbes : public QObject
{
    Q_OBJECT

private slots:
    void officeProcess_data();
    void officeProcess();
    void titleStartsWith_data();
    void titleStartsWith();
    void excelWindowTitle_data();
    void excelWindowTitle();
};

namespace {

struct Process
{
    QString pid;
    QByteArray comm;
    QByteArray state;
    QByteArrayList arguments;
};

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void addProcess(const QDir &root, const Process &process)
{
    QVERIFY(root.mkpath(process.pid));
    const QString dir = root.filePath(process.pid);
    writeFile(dir + "/comm", process.comm + "\n");
    writeFile(dir + "/stat",
              process.pid.toUtf8() + " (" + process.comm + ") " + process.state + " 1 1 1");
    writeFile(dir + "/cmdline", process.arguments.join('\0') + '\0');
}

} // namespace

void TestExcelProbes::officeProcess_data()
{
    QTest::addColumn<QString>("pid");
    QTest::addColumn<QByteArray>("comm");
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<bool>("anyProfile");

    const QByteArray program = "/usr/lib/libreoffice/program/soffice.bin";
    const QByteArray own = "-env:UserInstallation=file:///tmp/own";
    QTest::newRow("user's office, default profile")
        << "123" << QByteArray("soffice.bin") << QByteArray("S")
        << QByteArrayList{program, "--calc"} << QString() << true << true;
    QTest::newRow("private office is not the user's")
        << "123" << QByteArray("soffice.bin") << QByteArray("S")
        << QByteArrayList{program, own, "--headless"} << QString() << false << true;
    QTest::newRow("private office asked for by its profile")
        << "123" << QByteArray("soffice.bin") << QByteArray("S")
        << QByteArrayList{program, "--headless", own} << QString("file:///tmp/own") << true << true;
    QTest::newRow("another profile")
        << "123" << QByteArray("soffice.bin") << QByteArray("S") << QByteArrayList{program, own}
        << QString("file:///tmp/other") << false << true;
    QTest::newRow("ended, not reaped") << "123" << QByteArray("soffice.bin") << QByteArray("Z")
                                       << QByteArrayList{} << QString() << false << false;
    QTest::newRow("launcher only") << "123" << QByteArray("oosplash") << QByteArray("S")
                                   << QByteArrayList{"oosplash"} << QString() << false << false;
    QTest::newRow("longer name") << "123" << QByteArray("soffice.binx") << QByteArray("S")
                                 << QByteArrayList{program} << QString() << false << false;
    QTest::newRow("not a process folder") << "self" << QByteArray("soffice.bin") << QByteArray("S")
                                          << QByteArrayList{program} << QString() << false << false;
}

void TestExcelProbes::officeProcess()
{
    QFETCH(QString, pid);
    QFETCH(QByteArray, comm);
    QFETCH(QByteArray, state);
    QFETCH(QByteArrayList, arguments);
    QFETCH(QString, profile);
    QFETCH(bool, expected);
    QFETCH(bool, anyProfile);

    QTemporaryDir root;
    addProcess(QDir(root.path()), {"7", "bash", "S", {"bash"}});
    addProcess(QDir(root.path()), {pid, comm, state, arguments});
    QCOMPARE(OfficeProcess::isRunning(root.path(), getuid(), profile), expected);
    QVERIFY(!OfficeProcess::isRunning(root.path(), getuid() + 1, profile));
    // The window system names a process; any office of the user's counts.
    QCOMPARE(OfficeProcess::isOffice(root.path(), 123, getuid()), anyProfile);
    QVERIFY(!OfficeProcess::isOffice(root.path(), 7, getuid()));
}

void TestExcelProbes::titleStartsWith_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("expected");

    QTest::newRow("own window") << "Marlowin Pro"
                                << "Marlowin" << true;
    QTest::newRow("case matters") << "marlowin pro"
                                  << "Marlowin" << false;
    QTest::newRow("prefix within 19 characters") << "Microsoft Excel - loan.xls"
                                                 << "Microsoft Excel" << true;
    QTest::newRow("prefix longer than 19 characters never matches")
        << "Microsoft Excel - loan.xls"
        << "Microsoft Excel - lo" << false;
    QTest::newRow("no title") << ""
                              << "Marlowin" << false;
}

void TestExcelProbes::titleStartsWith()
{
    QFETCH(QString, title);
    QFETCH(QString, prefix);
    QFETCH(bool, expected);

    QCOMPARE(::titleStartsWith(title, prefix), expected);
}

void TestExcelProbes::excelWindowTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("expected");

    QTest::newRow("workbook in Calc") << "loan.ods - LibreOffice Calc" << true;
    QTest::newRow("new workbook") << "Untitled 1 - LibreOffice Calc" << true;
    QTest::newRow("other office module") << "letter.odt - LibreOffice Writer" << false;
    QTest::newRow("application name first") << "LibreOffice Calc - loan.ods" << false;
    QTest::newRow("no title") << "" << false;
}

void TestExcelProbes::excelWindowTitle()
{
    QFETCH(QString, title);
    QFETCH(bool, expected);

    QCOMPARE(isExcelWindowTitle(title), expected);
}

QTEST_MAIN(TestExcelProbes)
#include "tst_excelprobes.moc"
