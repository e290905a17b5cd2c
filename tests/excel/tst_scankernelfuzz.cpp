#include "privateoffice.h"

#include "excel/calc/calcconnection.h"
#include "kernelprotocol.h"
#include "scankernel.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <cppuhelper/implbase3.hxx>
#include <rtl/ref.hxx>

#include <QRandomGenerator>
#include <QTest>

#include <thread>

using namespace css;

namespace {

using Objects = uno::Sequence<uno::Reference<uno::XInterface>>;

// A cell of the office that refuses its nth number, as a cell whose write fails half-way
// through a batch.
class FailingCell
    : public cppu::WeakImplHelper3<table::XCell, sheet::XCellAddressable, sheet::XSheetCellRange>
{
public:
    FailingCell(const uno::Reference<table::XCell> &cell, int failingWrite)
        : real(cell), failingWrite(failingWrite)
    {}

    OUString SAL_CALL getFormula() override { return real->getFormula(); }
    void SAL_CALL setFormula(const OUString &formula) override { real->setFormula(formula); }
    double SAL_CALL getValue() override { return real->getValue(); }
    void SAL_CALL setValue(double value) override
    {
        if (++writes == failingWrite)
            throw uno::RuntimeException("the cell refuses the write");
        real->setValue(value);
    }
    table::CellContentType SAL_CALL getType() override { return real->getType(); }
    sal_Int32 SAL_CALL getError() override { return real->getError(); }
    table::CellAddress SAL_CALL getCellAddress() override
    {
        return uno::Reference<sheet::XCellAddressable>(real, uno::UNO_QUERY_THROW)
            ->getCellAddress();
    }
    uno::Reference<sheet::XSpreadsheet> SAL_CALL getSpreadsheet() override
    {
        return range()->getSpreadsheet();
    }
    uno::Reference<table::XCell> SAL_CALL getCellByPosition(sal_Int32 column,
                                                            sal_Int32 row) override
    {
        return range()->getCellByPosition(column, row);
    }
    uno::Reference<table::XCellRange> SAL_CALL getCellRangeByPosition(sal_Int32 left, sal_Int32 top,
                                                                      sal_Int32 right,
                                                                      sal_Int32 bottom) override
    {
        return range()->getCellRangeByPosition(left, top, right, bottom);
    }
    uno::Reference<table::XCellRange> SAL_CALL getCellRangeByName(const OUString &name) override
    {
        return range()->getCellRangeByName(name);
    }

private:
    uno::Reference<sheet::XSheetCellRange> range() const
    {
        return uno::Reference<sheet::XSheetCellRange>(real, uno::UNO_QUERY_THROW);
    }

    uno::Reference<table::XCell> real;
    int failingWrite;
    int writes = 0;
};

Objects objects(std::initializer_list<uno::Reference<uno::XInterface>> items)
{
    return Objects(items.begin(), sal_Int32(items.size()));
}

uno::Sequence<beans::NamedValue> named(std::initializer_list<beans::NamedValue> values)
{
    return uno::Sequence<beans::NamedValue>(values.begin(), sal_Int32(values.size()));
}

beans::NamedValue argument(const char *name, const uno::Any &value)
{
    return {OUString::createFromAscii(name), value};
}

beans::NamedValue command(const char *name)
{
    return argument(KernelProtocol::command, uno::Any(OUString::createFromAscii(name)));
}

} // namespace

// The kernel's own code in the test's process, where the sanitizers watch it, driving a private
// office over the pipe: fuzzed batches, a write that fails half-way, and a bracket the program
// left open.
class TestScanKernelFuzz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void fuzzedBatchIsAnsweredOrRefusedUntouched();
    void failureHalfwayPutsBackWhatTheBatchWrote();
    void releasedKernelClosesTheOpenBracket();
    void watchTellsOthersWritesFromTheCallersOwn_data();
    void watchTellsOthersWritesFromTheCallersOwn();

private:
    uno::Reference<table::XCell> cell(const char *address);
    QStringList contents();
    void reset();

    PrivateOffice office;
    QString bookName;
    uno::Reference<frame::XModel> document;
    uno::Reference<sheet::XSpreadsheet> sheet;
};

const QStringList inputs{"A1", "A2", "A3"};
const QStringList initialContents{"1.5", "=A1*2", "label"};

void TestScanKernelFuzz::initTestCase()
{
    QVERIFY(office.start());
    bookName = office.connection()->guard(
        "new book",
        [this]() {
            const uno::Reference<frame::XComponentLoader> loader(office.connection()->desktop(),
                                                                 uno::UNO_QUERY_THROW);
            document.set(loader->loadComponentFromURL("private:factory/scalc", "_blank", 0, {}),
                         uno::UNO_QUERY_THROW);
            const uno::Reference<container::XIndexAccess> sheets(
                uno::Reference<sheet::XSpreadsheetDocument>(document, uno::UNO_QUERY_THROW)
                    ->getSheets(),
                uno::UNO_QUERY_THROW);
            sheet.set(sheets->getByIndex(0), uno::UNO_QUERY_THROW);
            return toQString(
                uno::Reference<frame::XTitle>(document, uno::UNO_QUERY_THROW)->getTitle());
        },
        QString());
    QVERIFY(!bookName.isEmpty());
    QVERIFY(office.setContent(bookName, "B1", "=A1+A2"));
    QVERIFY(office.setContent(bookName, "B2", "=A3"));
}

void TestScanKernelFuzz::cleanupTestCase()
{
    document.clear();
    sheet.clear();
    office.stop();
}

uno::Reference<table::XCell> TestScanKernelFuzz::cell(const char *address)
{
    return uno::Reference<table::XCell>(
        sheet->getCellRangeByName(OUString::createFromAscii(address)), uno::UNO_QUERY_THROW);
}

QStringList TestScanKernelFuzz::contents()
{
    QStringList found;
    for (const QString &address : inputs)
        found << office.content(bookName, address);
    return found;
}

void TestScanKernelFuzz::reset()
{
    for (qsizetype i = 0; i < inputs.size(); ++i)
        office.setContent(bookName, inputs[i], initialContents[i]);
}

// Random lists of cells and of other objects, random lengths, numbers and non-numbers: every
// batch either answers one value per read cell and point or is refused with nothing written.
void TestScanKernelFuzz::fuzzedBatchIsAnsweredOrRefusedUntouched()
{
    QRandomGenerator random(20261208);
    const QList<uno::Reference<uno::XInterface>> pool{
        cell("A1"), cell("A2"), cell("A3"),
        cell("B1"), cell("B2"), sheet->getCellRangeByName("A1:B2"),
        sheet,      document,   nullptr};
    const QList<double> numbers{0, -2.5, 1e308, 4.9e-324, qQNaN(), qInf(), -qInf(), 7};
    reset();
    const rtl::Reference<ScanKernel> kernel(new ScanKernel);
    int answered = 0;
    int refused = 0;
    for (int round = 0; round < 250; ++round) {
        auto pick = [&](bool cellsOnly) {
            Objects objects(random.bounded(cellsOnly ? 1 : 0, 4));
            for (sal_Int32 i = 0; i < objects.getLength(); ++i)
                objects.getArray()[i] = cellsOnly && random.bounded(8) != 0
                                            ? pool[random.bounded(3)]
                                            : pool[random.bounded(pool.size())];
            return objects;
        };
        const bool plausible = random.bounded(2) == 0;
        const Objects writes = pick(plausible);
        const Objects reads = pick(plausible);
        const int width = std::max<int>(writes.getLength(), 1);
        const int count = plausible ? width * random.bounded(1, 5) : random.bounded(0, 9);
        uno::Sequence<double> values(count);
        for (sal_Int32 i = 0; i < count; ++i)
            values.getArray()[i] = random.bounded(6) == 0 ? numbers[random.bounded(numbers.size())]
                                                          : random.bounded(100.0);
        const uno::Reference<uno::XInterface> target =
            random.bounded(10) == 0 ? pool[random.bounded(pool.size())] : document;
        const QStringList before = contents();
        try {
            const uno::Any result =
                kernel->execute(named({command(KernelProtocol::evaluate),
                                       argument(KernelProtocol::document, uno::Any(target)),
                                       argument(KernelProtocol::writeCells, uno::Any(writes)),
                                       argument(KernelProtocol::readCells, uno::Any(reads)),
                                       argument(KernelProtocol::values, uno::Any(values))}));
            uno::Sequence<uno::Any> read;
            QVERIFY(result >>= read);
            QCOMPARE(read.getLength(), count / writes.getLength() * reads.getLength());
            ++answered;
            reset();
        } catch (const lang::IllegalArgumentException &e) {
            QVERIFY(e.Message.startsWith("Scan kernel: "));
            QCOMPARE(contents(), before);
            ++refused;
        }
    }
    QVERIFY(answered > 20);
    QVERIFY(refused > 20);
}

// A cell refuses a write in the second point: the batch fails with a message and the number,
// the formula and the text of the cells it wrote are back.
void TestScanKernelFuzz::failureHalfwayPutsBackWhatTheBatchWrote()
{
    reset();
    const rtl::Reference<ScanKernel> kernel(new ScanKernel);
    const Objects writes =
        objects({cell("A1"), cell("A2"),
                 uno::Reference<uno::XInterface>(
                     static_cast<cppu::OWeakObject *>(new FailingCell(cell("A3"), 2)))});
    const Objects reads = objects({cell("B1")});
    const double values[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    QString failure;
    try {
        kernel->execute(
            named({command(KernelProtocol::evaluate),
                   argument(KernelProtocol::document,
                            uno::Any(uno::Reference<uno::XInterface>(document))),
                   argument(KernelProtocol::writeCells, uno::Any(writes)),
                   argument(KernelProtocol::readCells, uno::Any(reads)),
                   argument(KernelProtocol::values, uno::Any(uno::Sequence<double>(values, 9)))}));
    } catch (const uno::RuntimeException &e) {
        failure = toQString(e.Message);
    }
    QCOMPARE(failure, "Scan kernel: the batch failed and its cells were put back: the cell "
                      "refuses the write");
    QCOMPARE(contents(), initialContents);
}

// The program locked the document, hid its writes in an undo context and had the kernel note
// the cells; then it went away without closing the bracket. Releasing the kernel closes it and
// leaves the document marked modified.
void TestScanKernelFuzz::releasedKernelClosesTheOpenBracket()
{
    // A full history loses its oldest entry to a hidden context; a short one stays whole.
    QVERIFY(office.clearUndo(bookName));
    reset();
    QVERIFY(office.setModified(bookName, false));
    const QStringList history = office.undoTitles(bookName);
    const uno::Reference<document::XUndoManager> undo =
        uno::Reference<document::XUndoManagerSupplier>(document, uno::UNO_QUERY_THROW)
            ->getUndoManager();
    document->lockControllers();
    undo->enterHiddenUndoContext();
    {
        const rtl::Reference<ScanKernel> kernel(new ScanKernel);
        kernel->execute(named({command(KernelProtocol::arm),
                               argument(KernelProtocol::document,
                                        uno::Any(uno::Reference<uno::XInterface>(document))),
                               argument(KernelProtocol::hiddenUndoContext, uno::Any(true)),
                               argument(KernelProtocol::undoDisabled, uno::Any(false)),
                               argument(KernelProtocol::watch, uno::Any(true))}));
        kernel->execute(named({command(KernelProtocol::journal),
                               argument(KernelProtocol::document,
                                        uno::Any(uno::Reference<uno::XInterface>(document))),
                               argument(KernelProtocol::cells, uno::Any(objects({cell("A3")})))}));
        cell("A3")->setValue(42);
        const double values[] = {8, 9};
        kernel->execute(named(
            {command(KernelProtocol::evaluate),
             argument(KernelProtocol::document,
                      uno::Any(uno::Reference<uno::XInterface>(document))),
             argument(KernelProtocol::writeCells, uno::Any(objects({cell("A1"), cell("A2")}))),
             argument(KernelProtocol::readCells, uno::Any(objects({cell("B1")}))),
             argument(KernelProtocol::values, uno::Any(uno::Sequence<double>(values, 2)))}));
        QCOMPARE(office.content(bookName, "A2"), "9");
        QVERIFY(office.controllersLocked(bookName));
    }
    QCOMPARE(contents(), initialContents);
    QVERIFY(!office.controllersLocked(bookName));
    QCOMPARE(office.undoTitles(bookName), history);
    QVERIFY(office.isModified(bookName));
}

void TestScanKernelFuzz::watchTellsOthersWritesFromTheCallersOwn_data()
{
    QTest::addColumn<bool>("otherThreadWrites");
    QTest::newRow("the caller's batches only") << false;
    QTest::newRow("another thread writes too") << true;
}

// The caller's batches, under its own thread's identity, are not somebody else's change; a write
// from another thread of this process comes under another identity and is.
void TestScanKernelFuzz::watchTellsOthersWritesFromTheCallersOwn()
{
    QFETCH(bool, otherThreadWrites);
    reset();
    const auto inDocument = uno::Any(uno::Reference<uno::XInterface>(document));
    const rtl::Reference<ScanKernel> kernel(new ScanKernel);
    kernel->execute(
        named({command(KernelProtocol::arm), argument(KernelProtocol::document, inDocument),
               argument(KernelProtocol::hiddenUndoContext, uno::Any(false)),
               argument(KernelProtocol::undoDisabled, uno::Any(false)),
               argument(KernelProtocol::watch, uno::Any(true))}));
    const double values[] = {8, 9, 10};
    auto batch = [&]() {
        kernel->execute(named(
            {command(KernelProtocol::evaluate), argument(KernelProtocol::document, inDocument),
             argument(KernelProtocol::writeCells, uno::Any(objects({cell("A1")}))),
             argument(KernelProtocol::readCells, uno::Any(objects({cell("B1")}))),
             argument(KernelProtocol::values, uno::Any(uno::Sequence<double>(values, 3)))}));
    };
    batch();
    if (otherThreadWrites)
        std::thread([this]() { cell("C5")->setValue(1); }).join();
    batch();
    uno::Sequence<uno::Reference<uno::XInterface>> changed;
    QVERIFY(kernel->execute(named({command(KernelProtocol::disarm)})) >>= changed);
    QCOMPARE(changed.getLength(), otherThreadWrites ? 1 : 0);
    if (otherThreadWrites)
        QVERIFY(changed[0] == uno::Reference<uno::XInterface>(document, uno::UNO_QUERY));
    cell("C5")->setFormula("");
    reset();
}

QTEST_GUILESS_MAIN(TestScanKernelFuzz)
#include "tst_scankernelfuzz.moc"
