#include "excel/celladdress.h"
#include "excel/exceladdressblock.h"
#include "logcapture.h"

#include <QRandomGenerator>
#include <QTest>

// Randomized inputs for the address reader and blocks: random texts over the characters of
// address texts and their neighbours, and valid addresses with a few random edits. Each
// input is checked against the rules every caller relies on; a fixed seed keeps a failure
// reproducible.
namespace {

constexpr int inputCount = 100000;
constexpr quint32 seed = 20261207;
// Walks beyond this many cells per input would make the run slow; larger inputs are parsed
// without their walk (or with a walk that the block refuses itself).
constexpr qint64 maxFuzzWalk = 150;

const QString alphabet = QStringLiteral("ABCDXYZabcxz0123456789:;,$ ");

struct Record
{
    const ExcelAddressBlock *block;
    QString address;
    bool singleCell;
    QList<int> corners;
};

class Fuzzer
{
public:
    QString nextInput() { return m_random.bounded(2) == 0 ? randomText() : mutate(validAddress()); }
    bool coin() { return m_random.bounded(2) == 0; }

private:
    QString randomText()
    {
        QString text;
        const int length = m_random.bounded(17);
        for (int i = 0; i < length; ++i)
            text.append(alphabet.at(m_random.bounded(int(alphabet.size()))));
        return text;
    }

    int randomNumber(int largest)
    {
        return m_random.bounded(8) == 0 ? m_random.bounded(1, largest + 1)
                                        : m_random.bounded(1, 40);
    }

    // One rectangle, mostly small and in order so that it can be walked.
    QString randomArea()
    {
        const int row = randomNumber(1048576);
        const int column = randomNumber(16384);
        switch (m_random.bounded(3)) {
        case 0:
            return cellAddress(row, column);
        case 1:
            return cellAddress(row, column) + u':' +
                   cellAddress(row + m_random.bounded(12), column + m_random.bounded(12));
        default:
            return cellAddress(row, column) + u':' +
                   cellAddress(randomNumber(1048576), randomNumber(16384));
        }
    }

    QString validAddress()
    {
        QStringList areas;
        const int count = m_random.bounded(4) == 0 ? m_random.bounded(2, 5) : 1;
        for (int i = 0; i < count; ++i)
            areas.append(randomArea());
        return areas.join(u';');
    }

    QString mutate(QString text)
    {
        static const QStringList fragments{
            QStringLiteral("99999999999"), QStringLiteral("ZZZZZZZZ"), QStringLiteral("2147483647"),
            QStringLiteral("FXSHRXW"),     QStringLiteral(":"),        QStringLiteral(";"),
            QStringLiteral("$"),           QStringLiteral("0")};
        const int edits = qMax(0, m_random.bounded(-2, 4));
        for (int i = 0; i < edits; ++i) {
            const int at = m_random.bounded(int(text.size()) + 1);
            switch (m_random.bounded(4)) {
            case 0:
                text.insert(at, alphabet.at(m_random.bounded(int(alphabet.size()))));
                break;
            case 1:
                text.remove(at, 1);
                break;
            case 2:
                text.insert(at, fragments.at(m_random.bounded(int(fragments.size()))));
                break;
            default:
                text = text.toLower();
                break;
            }
        }
        return text;
    }

    QRandomGenerator m_random{seed};
};

// The number of cells that walking every area of the text would create.
qint64 walkSize(const QString &text)
{
    qint64 cells = 0;
    for (const QString &part : text.split(u';')) {
        const ExcelAddressBlock area(part, false);
        if (area.valid() && !area.entireRows() && !area.entireColumns())
            cells += (qint64(area.lastRow()) - area.firstRow() + 1) *
                     (qint64(area.lastColumn()) - area.firstColumn() + 1);
    }
    return cells;
}

QList<int> cornersOf(const ExcelAddressBlock *block)
{
    return {block->firstRow(), block->firstColumn(), block->lastRow(), block->lastColumn()};
}

} // namespace

class TestExcelAddressFuzz : public QObject
{
    Q_OBJECT

private slots:
    void randomInputs();

private:
    // How many inputs reached each kind of result, to show that the inputs reach them all.
    struct Coverage
    {
        int validCells = 0;
        int walks = 0;
        int validAreas = 0;
        int invalidAreas = 0;
        int invalidTexts = 0;
    } m_coverage;

    void checkCell(const QString &text);
    void checkBlock(const QString &text, bool iterate, qint64 cells);
    void count(const ExcelAddressBlock &block, qsizetype announcements);
    void checkAnnouncements(const ExcelAddressBlock &block, const QList<Record> &records,
                            bool walked, qint64 cells);
    void checkAreas(const ExcelAddressBlock &block, const QStringList &announced, bool walked,
                    const QStringList &messages);
};

void TestExcelAddressFuzz::randomInputs()
{
    LogCapture capture;
    Fuzzer fuzzer;
    for (int i = 0; i < inputCount; ++i) {
        const QString text = fuzzer.nextInput();
        checkCell(text);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("parseCell input %1: \"%2\"").arg(i).arg(text)));
        const qint64 cells = walkSize(text);
        const bool iterate =
            fuzzer.coin() && (cells <= maxFuzzWalk || cells > ExcelAddressBlock::maxWalkedCells);
        capture.clear();
        checkBlock(text, iterate, cells);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("block input %1: \"%2\"").arg(i).arg(text)));
    }
    qInfo("single cells %d, walks %d, valid multi-area %d, invalid multi-area %d, invalid %d",
          m_coverage.validCells, m_coverage.walks, m_coverage.validAreas, m_coverage.invalidAreas,
          m_coverage.invalidTexts);
    for (int reached : {m_coverage.validCells, m_coverage.walks, m_coverage.validAreas,
                        m_coverage.invalidAreas, m_coverage.invalidTexts})
        QVERIFY(reached > inputCount / 100);
}

void TestExcelAddressFuzz::count(const ExcelAddressBlock &block, qsizetype announcements)
{
    if (block.isSingleCell())
        ++m_coverage.validCells;
    else if (block.singleArea() && announcements > 1)
        ++m_coverage.walks;
    else if (!block.singleArea())
        ++(block.valid() ? m_coverage.validAreas : m_coverage.invalidAreas);
    else if (!block.valid())
        ++m_coverage.invalidTexts;
}

void TestExcelAddressFuzz::checkCell(const QString &text)
{
    int row = -1;
    int column = -1;
    const bool understood = parseCell(text, row, column);
    QVERIFY(row >= 0 && column >= 0);
    if (!understood) {
        QCOMPARE(row, 0);
        QCOMPARE(column, 0);
    }
    int readRow = -1;
    int readColumn = -1;
    QVERIFY(parseCell(cellAddress(row, column), readRow, readColumn));
    QCOMPARE(readRow, row);
    QCOMPARE(readColumn, column);
    QCOMPARE(columnLetters(column).size() <= 7, true);
}

void TestExcelAddressFuzz::checkBlock(const QString &text, bool iterate, qint64 cells)
{
    LogCapture capture;
    ExcelAddressBlock block;
    QList<Record> records;
    connect(&block, &ExcelAddressBlock::rangeIterated, [&records](ExcelAddressBlock *b) {
        records.append({b, b->address(), b->isSingleCell(), cornersOf(b)});
    });
    block.setAddress(text, iterate);
    const QStringList messages = capture.lines();

    // A new block already holds the empty text, so setting it again changes nothing.
    if (text.isEmpty()) {
        QVERIFY(records.isEmpty());
        QVERIFY(!block.valid());
        return;
    }
    QVERIFY(!records.isEmpty());
    QCOMPARE(records.last().block, &block);
    if (block.isSingleCell()) {
        const ExcelAddressBlock again(cellAddress(block.firstRow(), block.firstColumn()), false);
        QVERIFY(again.isSingleCell());
        QCOMPARE(cornersOf(&again), cornersOf(&block));
    }
    // The block walks its cells itself unless together they are too many.
    const bool walked = iterate && cells <= ExcelAddressBlock::maxWalkedCells;
    if (block.singleArea()) {
        checkAnnouncements(block, records, walked, cells);
        QCOMPARE(messages.endsWith(LogCapture::line("Invalid address:", text)), !block.valid());
    } else {
        QStringList announced;
        for (const Record &record : records.first(records.size() - 1))
            announced.append(record.address);
        checkAreas(block, announced, walked, messages);
    }
    if (QTest::currentTestFailed())
        return;
    count(block, records.size());
    const qsizetype announcements = records.size();
    block.setAddress(text, !iterate);
    QCOMPARE(records.size(), announcements);
}

// A rectangle announces its cells row by row, each a single cell inside it, then itself.
void TestExcelAddressFuzz::checkAnnouncements(const ExcelAddressBlock &block,
                                              const QList<Record> &records, bool walked,
                                              qint64 cells)
{
    if (block.valid()) {
        QVERIFY(block.lastRow() >= block.firstRow());
        QVERIFY(block.lastColumn() >= block.firstColumn());
        QCOMPARE(block.entireRows(), block.firstColumn() == 0);
        QCOMPARE(block.entireColumns(), block.firstRow() == 0);
    }
    if (!walked || !block.valid() || block.entireRows() || block.entireColumns() ||
        block.isSingleCell()) {
        QCOMPARE(records.size(), 1);
        QVERIFY(block.subBlocks().isEmpty());
        return;
    }
    QCOMPARE(records.size(), cells + 1);
    QCOMPARE(block.subBlocks().size(), cells);
    qsizetype index = 0;
    for (qint64 row = block.firstRow(); row <= block.lastRow(); ++row) {
        for (qint64 column = block.firstColumn(); column <= block.lastColumn(); ++column) {
            const Record &record = records.at(index++);
            QVERIFY(record.singleCell);
            QCOMPARE(record.corners, (QList<int>{int(row), int(column), int(row), int(column)}));
            QCOMPARE(record.address, cellAddress(int(row), int(column)));
        }
    }
}

// Several areas announce what each area announces on its own, in order; the block keeps
// the areas up to the first invalid one and writes one message for it and each later one.
void TestExcelAddressFuzz::checkAreas(const ExcelAddressBlock &block, const QStringList &announced,
                                      bool walked, const QStringList &messages)
{
    const QStringList parts = block.address().split(u';');
    QStringList expectedAnnounced;
    QStringList expectedKept;
    QStringList blockMessages;
    for (const QString &part : parts) {
        ExcelAddressBlock alone;
        connect(
            &alone, &ExcelAddressBlock::rangeIterated,
            [&expectedAnnounced](ExcelAddressBlock *b) { expectedAnnounced.append(b->address()); });
        alone.setAddress(part, walked);
        if (blockMessages.isEmpty() && alone.valid())
            expectedKept.append(part);
        else
            blockMessages.append(LogCapture::line("Invalid block", part));
    }
    QCOMPARE(announced, expectedAnnounced);
    QStringList kept;
    for (const ExcelAddressBlock *area : block.subBlocks())
        kept.append(area->address());
    QCOMPARE(kept, expectedKept);
    QCOMPARE(block.valid(), blockMessages.isEmpty());
    for (const QString &message : blockMessages)
        QVERIFY2(messages.contains(message), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestExcelAddressFuzz)
#include "tst_exceladdressfuzz.moc"
