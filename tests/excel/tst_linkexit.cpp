#include "privateoffice.h"

#include "excel/excelbackend.h"
#include "excel/excelworkbook.h"
#include "excel/excelworkbooks.h"

#include <QProcess>
#include <QTest>

// Programs that attach, write and exit one after the other must all exit cleanly: nothing the
// office sends may arrive while a process tears down its runtime. The number of runs is
// MARLOWIN_EXIT_RUNS (scripts/exit-runs.sh asks for 200).
class TestLinkExit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyRunExitsCleanly();

private:
    PrivateOffice office;
};

void TestLinkExit::initTestCase()
{
    QVERIFY(office.start());
    QVERIFY(ExcelBackend::attachOrStart()->workbooks()->add());
    QVERIFY(QTest::qWaitFor([]() {
        const QList<qint64> instances = ExcelBackend::instances();
        return !instances.isEmpty() && ExcelBackend::attach(instances.first()) != nullptr;
    }));
}

void TestLinkExit::cleanupTestCase()
{
    office.stop();
}

void TestLinkExit::everyRunExitsCleanly()
{
    const int runs = qEnvironmentVariableIntValue("MARLOWIN_EXIT_RUNS") > 0
                         ? qEnvironmentVariableIntValue("MARLOWIN_EXIT_RUNS")
                         : 16;
    const QString child = QCoreApplication::applicationDirPath() + "/linkexitchild";
    for (int run = 1; run <= runs; ++run) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(child, {office.pipeName(), office.profileUrl(), QString::number(run)});
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                 qPrintable(QString("run %1 of %2 ended with status %3, code %4")
                                .arg(run)
                                .arg(runs)
                                .arg(int(process.exitStatus()))
                                .arg(process.exitCode())));
    }
    QCOMPARE(office.content(ExcelBackend::attachOrStart()->activeWorkbook()->name(), "A1"),
             QString::number(runs));
}

QTEST_MAIN(TestLinkExit)
#include "tst_linkexit.moc"
