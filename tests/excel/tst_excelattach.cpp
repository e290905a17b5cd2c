#include "privateoffice.h"

#include "app/mainwindow.h"
#include "app/spreadsheetinstances.h"
#include "excel/calc/calcconnection.h"
#include "excel/excelapplication.h"
#include "excel/excelbackend.h"
#include "excel/excelprobes.h"
#include "excel/excelworkbook.h"
#include "excel/excelworkbooks.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XStorable.hpp>

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

// The main window finding the spreadsheet instance the user looks at, against a private headless
// office. Which application is in front is tried on a real display (tst_excelforeground).
class TestExcelAttach : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void officeWithoutWorkbookIsNotAttached();
    void attachesOnceToTheInstanceInFront();
    void instanceFoundLaterInTheListIsSwappedToTheFront();
    void restartedOfficeIsAttachedInFront();
    void runningOfficeIsMadeToListen();
    void newWorkbookInRunningOfficeWithoutOne();
    void startsCalcWhenNoneRuns();
    void deactivationStartsPollingAndActivationStops();

private:
    static bool openWorkbook();
    static SpreadsheetInstances *instances(const MainWindow &window)
    {
        return window.findChild<SpreadsheetInstances *>();
    }
    // Every wrapper the window holds, of instances that went away as well.
    static qsizetype wrapperCount(const MainWindow &window)
    {
        return window.findChildren<VIVExcelApplication *>().size();
    }

    PrivateOffice office;
};

void TestExcelAttach::initTestCase()
{
    QVERIFY(office.start());
}

void TestExcelAttach::cleanupTestCase()
{
    office.stop();
}

bool TestExcelAttach::openWorkbook()
{
    std::unique_ptr<ExcelApplication> application = ExcelBackend::attachOrStart();
    if (!application->workbooks()->add())
        return false;
    // The office makes the new workbook its current one a moment later.
    return QTest::qWaitFor([]() {
        const QList<qint64> instances = ExcelBackend::instances();
        return !instances.isEmpty() && ExcelBackend::attach(instances.first()) != nullptr;
    });
}

void TestExcelAttach::officeWithoutWorkbookIsNotAttached()
{
    MainWindow window;
    window.attachToExcel();
    QCOMPARE(wrapperCount(window), 0);
    QVERIFY(!instances(window)->current());
}

void TestExcelAttach::attachesOnceToTheInstanceInFront()
{
    QVERIFY(openWorkbook());
    QPointer<VIVExcelApplication> attached;
    {
        MainWindow window;
        window.attachToExcel();
        QCOMPARE(wrapperCount(window), 1);
        attached = instances(window)->current();
        QCOMPARE(attached->hwnd(), ExcelBackend::instances().first());
        window.attachToExcel();
        QCOMPARE(wrapperCount(window), 1);
        QCOMPARE(instances(window)->current(), attached);
    }
    // The window's end is the wrapper's.
    QVERIFY(!attached);
}

void TestExcelAttach::instanceFoundLaterInTheListIsSwappedToTheFront()
{
    QVERIFY(openWorkbook());
    MainWindow window;
    window.attachToExcel();
    VIVExcelApplication *attached = instances(window)->current();
    auto *unbound = new VIVExcelApplication(nullptr);
    instances(window)->prepend(unbound);
    QCOMPARE(instances(window)->current(), unbound);
    window.attachToExcel();
    QCOMPARE(instances(window)->current(), attached);
    QCOMPARE(wrapperCount(window), 2);
    QVERIFY(window.findChildren<VIVExcelApplication *>().contains(unbound));
}

void TestExcelAttach::restartedOfficeIsAttachedInFront()
{
    QVERIFY(openWorkbook());
    MainWindow window;
    window.attachToExcel();
    VIVExcelApplication *before = instances(window)->current();

    office.kill();
    window.attachToExcel();
    QCOMPARE(wrapperCount(window), 1);
    QCOMPARE(instances(window)->current(), before);
    QCOMPARE(before->hwnd(), 0);

    QVERIFY(office.start());
    QVERIFY(openWorkbook());
    window.attachToExcel();
    QCOMPARE(wrapperCount(window), 2);
    QVERIFY(window.findChildren<VIVExcelApplication *>().contains(before));
    QVERIFY(instances(window)->current() != before);
    QCOMPARE(instances(window)->current()->hwnd(), ExcelBackend::instances().first());
}

void TestExcelAttach::runningOfficeIsMadeToListen()
{
    office.kill();
    QVERIFY(office.start(PrivateOffice::DoesNotListen));
    QVERIFY(isExcelProcessRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!ExcelBackend::instances().isEmpty(), 60000);
    QVERIFY(office.connect());
    QVERIFY(openWorkbook());
    MainWindow window;
    window.attachToExcel();
    QCOMPARE(wrapperCount(window), 1);
}

void TestExcelAttach::newWorkbookInRunningOfficeWithoutOne()
{
    office.kill();
    QVERIFY(office.start());
    QVERIFY(!ExcelBackend::attach(ExcelBackend::instances().first()));
    VIVExcelApplication application;
    VIVExcelWorkbook *book = application.workbooks()->add(false);
    QVERIFY(!book->name().isEmpty());
    QVERIFY(application.hwnd() != 0);
    QTRY_VERIFY(ExcelBackend::attach(ExcelBackend::instances().first()));
}

// The office is started as a user's would be, but draws nowhere, so no display is needed.
// The office the program starts keeps its pipe to the user, yet saves workbooks with the user's
// own umask: here one that lets the group write, of which only the write bit is taken away.
void TestExcelAttach::startsCalcWhenNoneRuns()
{
    using namespace css;
    const mode_t userMask = ::umask(002);
    office.kill();
    QVERIFY(!isExcelProcessRunning());
    qputenv("SAL_USE_VCLPLUGIN", "svp");
    VIVExcelApplication application;
    QTimer::singleShot(10, &application, &VIVExcelApplication::show);
    QTRY_VERIFY_WITH_TIMEOUT(application.currentObject(), 60000);
    ::umask(userMask);
    qunsetenv("SAL_USE_VCLPLUGIN");
    QVERIFY(application.hwnd() != 0);
    QVERIFY(isExcelProcessRunning());
    const QString title = application.activeWorkbook(false)->name();
    QVERIFY(!title.isEmpty());
    QVERIFY(office.connect());

    QTemporaryDir folder;
    const QString saved = folder.filePath("saved.ods");
    beans::PropertyValue filter;
    filter.Name = "FilterName";
    filter.Value <<= OUString("calc8");
    uno::Reference<frame::XStorable>(office.model(title), uno::UNO_QUERY_THROW)
        ->storeToURL(toOUString(QUrl::fromLocalFile(saved).toString()),
                     uno::Sequence<beans::PropertyValue>(&filter, 1));
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QCOMPARE(QFile::permissions(saved) & others, QFile::ReadGroup | QFile::ReadOther);
}

void TestExcelAttach::deactivationStartsPollingAndActivationStops()
{
    MainWindow window;
    auto *frontMostTimer = window.findChild<QTimer *>("frontMostTimer");
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    QVERIFY(frontMostTimer->isActive());
    QCOMPARE(frontMostTimer->interval(), 500);
    QEvent activate(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(qApp, &activate);
    QVERIFY(!frontMostTimer->isActive());
}

QTEST_MAIN(TestExcelAttach)
#include "tst_excelattach.moc"
