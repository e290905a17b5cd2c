#include "officetest.h"

#include "excel/calc/calcconnection.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/sheet/XAreaLinks.hpp>
#include <com/sun/star/table/CellAddress.hpp>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace css;

// Copies of workbooks for offices of the program's own, in a private headless office: a copy holds
// the unsaved edits and keeps formulas, the user's workbook keeps its location, modified flag and
// undo history, and what a copy opened with macros off and without the outside world would compute
// otherwise is named.
class TestCalcSnapshot : public OfficeTest
{
    Q_OBJECT

public:
    enum class Arrangement {
        Plain,
        ExternalReference,
        BasicFunction,
        ModuleWithoutCode,
        AreaLink,
        Password,
    };
    Q_ENUM(Arrangement)

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void snapshotHoldsTheWorkbookAsItIsNow_data();
    void snapshotHoldsTheWorkbookAsItIsNow();
    void copyProblemNamesWhatACopyCannotReproduce_data();
    void copyProblemNamesWhatACopyCannotReproduce();

private:
    QString copied(const QString &file);
    QString openCopy(const QString &file);
    QString arrange(Arrangement arrangement);
    bool addModule(const QString &title, const QString &source);
    bool linkArea(const QString &title, const QString &url);
    QString protectedCopy(const QString &title);
    QString urlOf(const QString &title);

    QTemporaryDir files;
    QTemporaryDir snapshots;
};

void TestCalcSnapshot::initTestCase()
{
    QVERIFY(files.isValid() && snapshots.isValid());
    QVERIFY(startOffice());
}

void TestCalcSnapshot::cleanupTestCase()
{
    stopOffice();
}

// A workbook a test made is closed when the test has not closed it yet.
void TestCalcSnapshot::cleanup()
{
    if (book)
        office.close(bookName);
    closeBook();
}

// The test's own copy of one of the test workbooks, made when first asked for.
QString TestCalcSnapshot::copied(const QString &file)
{
    const QString copy = files.filePath(file);
    if (!QFile::exists(copy))
        QFile::copy(QStringLiteral(MARLOWIN_TEST_DATA_DIR "/") + file, copy);
    return copy;
}

QString TestCalcSnapshot::openCopy(const QString &file)
{
    return office.open(copied(file));
}

QString TestCalcSnapshot::urlOf(const QString &title)
{
    return toQString(office.connection()->guard(
        "url", [&]() { return office.model(title)->getURL(); }, OUString("unreadable")));
}

void TestCalcSnapshot::snapshotHoldsTheWorkbookAsItIsNow_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("suffix");
    QTest::addRow("xlsx from another program") << "amortization-detailed.xlsx"
                                               << "xlsx";
    QTest::addRow("never saved") << QString() << "ods";
    // A text file keeps no formula: its copy goes as the office's own format.
    QTest::addRow("text file") << "figures.csv"
                               << "ods";
}

// Two edits, the second undone: the copy holds the first and not the second, while the user's
// workbook still has both steps of its history, stays modified and where it was.
void TestCalcSnapshot::snapshotHoldsTheWorkbookAsItIsNow()
{
    QFETCH(QString, file);
    QFETCH(QString, suffix);
    QString title;
    if (file.isEmpty()) {
        QVERIFY(addBook());
        title = bookName;
    } else {
        if (file.endsWith(".csv")) {
            QFile text(files.filePath(file));
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write("1,2\n") > 0);
        }
        title = file.endsWith(".csv") ? office.open(files.filePath(file)) : openCopy(file);
    }
    QVERIFY(!title.isEmpty());
    QVERIFY(office.setContent(title, "H1", "=6*7"));
    QVERIFY(office.setContent(title, "H2", "undone"));
    QVERIFY(office.undo(title));
    const QStringList undoTitles = office.undoTitles(title);
    const QStringList redoTitles = office.redoTitles(title);
    QCOMPARE(redoTitles.size(), 1);
    const QString url = urlOf(title);

    VIVExcelWorkbook *workbook = application->workbooks()->workbook(title, false);
    QVERIFY(workbook);
    QVERIFY(workbook->copyProblem().isEmpty());
    const QString path = workbook->storeSnapshot(snapshots.path());

    QCOMPARE(QFileInfo(path).suffix(), suffix);
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(snapshots.path()).absoluteFilePath());
    QVERIFY(office.isModified(title));
    QCOMPARE(office.undoTitles(title), undoTitles);
    QCOMPARE(office.redoTitles(title), redoTitles);
    QCOMPARE(urlOf(title), url);
    const QString copy = office.open(path);
    QVERIFY(!copy.isEmpty());
    QCOMPARE(office.content(copy, "H1"), QString("=6*7"));
    QCOMPARE(office.content(copy, "H2"), QString());
    QVERIFY(office.close(copy));
    QVERIFY(office.close(title));
}

QString TestCalcSnapshot::arrange(Arrangement arrangement)
{
    if (arrangement == Arrangement::Plain)
        return openCopy("amortization-detailed.xlsx");
    if (!addBook())
        return {};
    bool arranged = false;
    switch (arrangement) {
    case Arrangement::Plain:
        break;
    case Arrangement::ExternalReference:
        arranged = office.setContent(
            bookName, "A1",
            "='" + QUrl::fromLocalFile(copied("amortization.xlsx")).toString() + "'#$Loan.B3");
        break;
    case Arrangement::BasicFunction:
        arranged = addModule(bookName, "Function Twice(x)\n    Twice = 2 * x\nEnd Function\n");
        break;
    case Arrangement::ModuleWithoutCode:
        arranged = addModule(bookName, "Rem Attribute VBA_ModuleType=VBADocumentModule\r\n"
                                       "Option VBASupport 1\r\n\r\n' nothing yet\r\n");
        break;
    case Arrangement::AreaLink:
        arranged = linkArea(bookName, QUrl::fromLocalFile(copied("amortization.xlsx")).toString());
        break;
    case Arrangement::Password:
        return protectedCopy(bookName);
    }
    return arranged ? bookName : QString();
}

bool TestCalcSnapshot::linkArea(const QString &title, const QString &url)
{
    return office.connection()->guard(
        "link area",
        [&]() {
            const uno::Reference<sheet::XAreaLinks> links(
                uno::Reference<beans::XPropertySet>(office.model(title), uno::UNO_QUERY_THROW)
                    ->getPropertyValue("AreaLinks"),
                uno::UNO_QUERY_THROW);
            links->insertAtPosition(table::CellAddress(0, 0, 3), toOUString(url), "Loan.B3:B4",
                                    "Calc MS Excel 2007 XML", "");
            return true;
        },
        false);
}

// The workbook stored with a password and opened again with it, as the user would have it.
QString TestCalcSnapshot::protectedCopy(const QString &title)
{
    const QString url = QUrl::fromLocalFile(files.filePath("secret.ods")).toString();
    const bool stored = office.connection()->guard(
        "store with password",
        [&]() {
            beans::PropertyValue password;
            password.Name = "Password";
            password.Value <<= OUString("secret");
            uno::Reference<frame::XStorable>(office.model(title), uno::UNO_QUERY_THROW)
                ->storeToURL(toOUString(url), uno::Sequence<beans::PropertyValue>(&password, 1));
            return true;
        },
        false);
    beans::PropertyValue properties[2];
    properties[0].Name = "Hidden";
    properties[0].Value <<= true;
    properties[1].Name = "Password";
    properties[1].Value <<= OUString("secret");
    return toQString(office.connection()->guard(
        "open with password",
        [&]() {
            const uno::Reference<frame::XTitle> opened(
                uno::Reference<frame::XComponentLoader>(office.connection()->desktop(),
                                                        uno::UNO_QUERY_THROW)
                    ->loadComponentFromURL(toOUString(url), "_blank", 0,
                                           uno::Sequence<beans::PropertyValue>(properties, 2)),
                uno::UNO_QUERY);
            return stored && opened.is() ? opened->getTitle() : OUString();
        },
        OUString()));
}

bool TestCalcSnapshot::addModule(const QString &title, const QString &source)
{
    return office.connection()->guard(
        "add module",
        [&]() {
            const uno::Reference<script::XLibraryContainer> libraries(
                uno::Reference<beans::XPropertySet>(office.model(title), uno::UNO_QUERY_THROW)
                    ->getPropertyValue("BasicLibraries"),
                uno::UNO_QUERY_THROW);
            uno::Reference<container::XNameContainer>(libraries->createLibrary("Standard"),
                                                      uno::UNO_QUERY_THROW)
                ->insertByName("Module1", uno::Any(toOUString(source)));
            return true;
        },
        false);
}

void TestCalcSnapshot::copyProblemNamesWhatACopyCannotReproduce_data()
{
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<QString>("problem");
    QTest::addRow("xlsx from another program") << Arrangement::Plain << QString();
    QTest::addRow("reference to another workbook")
        << Arrangement::ExternalReference << "it refers to other workbooks (" + files.path();
    QTest::addRow("Basic function")
        << Arrangement::BasicFunction << "it holds macros (Standard.Module1)";
    QTest::addRow("module without code") << Arrangement::ModuleWithoutCode << QString();
    QTest::addRow("linked cell area")
        << Arrangement::AreaLink << "it takes cell areas from other files (" + files.path();
    QTest::addRow("password") << Arrangement::Password << "it is protected by a password";
}

// A workbook that a copy cannot reproduce is named by its first problem and is never copied
// unprotected; one that a copy reproduces gives no problem.
void TestCalcSnapshot::copyProblemNamesWhatACopyCannotReproduce()
{
    QFETCH(Arrangement, arrangement);
    QFETCH(QString, problem);
    const QString title = arrange(arrangement);
    QVERIFY(!title.isEmpty());
    VIVExcelWorkbook *workbook = application->workbooks()->workbook(title, false);
    QVERIFY(workbook);

    const QString found = workbook->copyProblem();

    if (problem.isEmpty())
        QCOMPARE(found, QString());
    else
        QVERIFY2(found.startsWith(problem), qPrintable(found));
    if (arrangement == Arrangement::Password)
        QCOMPARE(workbook->storeSnapshot(snapshots.path()), QString());
    QVERIFY(office.close(title));
}

QTEST_MAIN(TestCalcSnapshot)
#include "tst_calcsnapshot.moc"
