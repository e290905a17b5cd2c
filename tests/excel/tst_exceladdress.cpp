#include "excel/celladdress.h"
#include "excel/exceladdressblock.h"
#include "logcapture.h"

#include <QPointer>
#include <QTest>

#include <limits>

namespace {

constexpr int maxInt = std::numeric_limits<int>::max();

// Records the address of every block that a parse announces.
class AnnouncementLog
{
public:
    explicit AnnouncementLog(ExcelAddressBlock &block)
    {
        QObject::connect(&block, &ExcelAddressBlock::rangeIterated,
                         [this](ExcelAddressBlock *b) { m_addresses.append(b->address()); });
    }
    QStringList addresses() const { return m_addresses; }

private:
    QStringList m_addresses;
};

QStringList addressesOf(const QList<ExcelAddressBlock *> &blocks)
{
    QStringList result;
    for (const ExcelAddressBlock *block : blocks)
        result.append(block->address());
    return result;
}

} // namespace

class TestExcelAddress : public QObject
{
    Q_OBJECT

private slots:
    void columnLettersRoundTrip_data();
    void columnLettersRoundTrip();
    void cellAddress_data();
    void cellAddress();
    void parseCell_data();
    void parseCell();
    void parseBlock_data();
    void parseBlock();
    void emptyText();
    void setAddressParsesChangedTextOnly();
    void subBlocksDieWithReparseAndParent();
};

void TestExcelAddress::columnLettersRoundTrip_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("letters");
    QTest::newRow("A") << 1 << "A";
    QTest::newRow("Z") << 26 << "Z";
    QTest::newRow("AA") << 27 << "AA";
    QTest::newRow("AZ") << 52 << "AZ";
    QTest::newRow("BA") << 53 << "BA";
    QTest::newRow("ZZ") << 702 << "ZZ";
    QTest::newRow("AAA") << 703 << "AAA";
    QTest::newRow("XFD") << 16384 << "XFD";
    QTest::newRow("largest int") << maxInt << "FXSHRXW";
}

void TestExcelAddress::columnLettersRoundTrip()
{
    QFETCH(int, column);
    QFETCH(QString, letters);
    QCOMPARE(columnLetters(column), letters);
    for (const QString &text : {letters + u'9', letters.toLower() + u'9'}) {
        int row = -1;
        int readColumn = -1;
        QVERIFY(::parseCell(text, row, readColumn));
        QCOMPARE(readColumn, column);
        QCOMPARE(row, 9);
    }
}

void TestExcelAddress::cellAddress_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("address");
    QTest::newRow("C12") << 12 << 3 << "C12";
    QTest::newRow("AB7") << 7 << 28 << "AB7";
    QTest::newRow("largest corner") << maxInt << maxInt << "FXSHRXW2147483647";
    // No column has no letters, so the text reads back as a row alone.
    QTest::newRow("column 0") << 15 << 0 << "15";
    QTest::newRow("negative column") << 15 << -3 << "15";
}

void TestExcelAddress::cellAddress()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, address);
    QCOMPARE(::cellAddress(row, column), address);
}

void TestExcelAddress::parseCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("understood");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("b12") << "b12" << true << 12 << 2;
    QTest::newRow("letters only") << "C" << true << 0 << 3;
    QTest::newRow("digits only") << "15" << true << 15 << 0;
    QTest::newRow("empty") << "" << true << 0 << 0;
    QTest::newRow("rest not a number") << "B12X" << true << 0 << 2;
    QTest::newRow("signed rest") << "B-5" << true << 0 << 2;
    QTest::newRow("absolute sign first") << "$B$5" << true << 0 << 0;
    QTest::newRow("non-ASCII digit") << QString::fromUtf16(u"A\u0663") << true << 0 << 1;
    QTest::newRow("leading zeros") << "A" + QString(40, u'0') + "7" << true << 7 << 1;
    QTest::newRow("largest row") << "A2147483647" << true << maxInt << 1;
    QTest::newRow("row overflow") << "A2147483648" << false << 0 << 0;
    QTest::newRow("long row overflow") << "A" + QString(60, u'9') << false << 0 << 0;
    QTest::newRow("largest column") << "FXSHRXW1" << true << 1 << maxInt;
    QTest::newRow("column overflow") << "FXSHRXX1" << false << 0 << 0;
    QTest::newRow("long column overflow") << QString(60, u'Z') + "1" << false << 0 << 0;
}

void TestExcelAddress::parseCell()
{
    QFETCH(QString, text);
    QFETCH(bool, understood);
    QFETCH(int, row);
    QFETCH(int, column);
    int readRow = -1;
    int readColumn = -1;
    QCOMPARE(::parseCell(text, readRow, readColumn), understood);
    QCOMPARE(readRow, row);
    QCOMPARE(readColumn, column);
}

void TestExcelAddress::parseBlock_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("iterate");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("singleArea");
    QTest::addColumn<QList<int>>("corners"); // first row, first column, last row, last column
    QTest::addColumn<bool>("entireRows");
    QTest::addColumn<bool>("entireColumns");
    QTest::addColumn<bool>("singleCell");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<QStringList>("kept"); // addresses of subBlocks
    QTest::addColumn<QStringList>("messages");

    const QList<int> none{0, 0, 0, 0};
    auto addressMessage = [](const QString &text) {
        return LogCapture::line("Invalid address:", text);
    };
    auto blockMessage = [](const QString &text) { return LogCapture::line("Invalid block", text); };

    QTest::newRow("one cell") << "C7" << true << true << true << QList<int>{7, 3, 7, 3} << false
                              << false << true << QStringList{"C7"} << QStringList{}
                              << QStringList{};
    QTest::newRow("rectangle not walked")
        << "B2:D5" << false << true << true << QList<int>{2, 2, 5, 4} << false << false << false
        << QStringList{"B2:D5"} << QStringList{} << QStringList{};
    QTest::newRow("rectangle walked row by row")
        << "B2:C3" << true << true << true << QList<int>{2, 2, 3, 3} << false << false << false
        << QStringList{"B2", "C2", "B3", "C3", "B2:C3"} << QStringList{"B2", "C2", "B3", "C3"}
        << QStringList{};
    QTest::newRow("one-cell rectangle not walked")
        << "B2:B2" << true << true << true << QList<int>{2, 2, 2, 2} << false << false << true
        << QStringList{"B2:B2"} << QStringList{} << QStringList{};
    QTest::newRow("entire columns")
        << "C:E" << true << true << true << QList<int>{0, 3, 0, 5} << false << true << false
        << QStringList{"C:E"} << QStringList{} << QStringList{};
    QTest::newRow("entire rows") << "3:5" << true << true << true << QList<int>{3, 0, 5, 0} << true
                                 << false << false << QStringList{"3:5"} << QStringList{}
                                 << QStringList{};
    QTest::newRow("corners reversed")
        << "D5:B2" << true << false << true << QList<int>{5, 4, 2, 2} << false << false << false
        << QStringList{"D5:B2"} << QStringList{} << QStringList{addressMessage("D5:B2")};
    QTest::newRow("lower case") << "b2" << true << false << true << none << false << false << false
                                << QStringList{"b2"} << QStringList{}
                                << QStringList{addressMessage("b2")};
    QTest::newRow("absolute sign")
        << "$B$2" << true << false << true << none << false << false << false << QStringList{"$B$2"}
        << QStringList{} << QStringList{addressMessage("$B$2")};
    QTest::newRow("three corners")
        << "A1:B2:C3" << true << false << true << none << false << false << false
        << QStringList{"A1:B2:C3"} << QStringList{} << QStringList{addressMessage("A1:B2:C3")};
    QTest::newRow("leading space")
        << " A1" << true << false << true << none << false << false << false << QStringList{" A1"}
        << QStringList{} << QStringList{addressMessage(" A1")};
    QTest::newRow("trailing newline")
        << "A1\n"
        << true << false << true << none << false << false << false << QStringList{"A1\n"}
        << QStringList{} << QStringList{addressMessage("A1\n")};
    QTest::newRow("non-ASCII digit")
        << QString::fromUtf16(u"A\u0663") << true << false << true << none << false << false
        << false << QStringList{QString::fromUtf16(u"A\u0663")} << QStringList{}
        << QStringList{addressMessage(QString::fromUtf16(u"A\u0663"))};
    QTest::newRow("row beyond int")
        << "A1:B99999999999" << true << false << true << none << false << false << false
        << QStringList{"A1:B99999999999"} << QStringList{}
        << QStringList{addressMessage("A1:B99999999999")};
    QTest::newRow("column beyond int")
        << "A1:ZZZZZZZZ1" << true << false << true << none << false << false << false
        << QStringList{"A1:ZZZZZZZZ1"} << QStringList{}
        << QStringList{addressMessage("A1:ZZZZZZZZ1")};
    QTest::newRow("walk at the last row")
        << "A2147483647:B2147483647" << true << true << true << QList<int>{maxInt, 1, maxInt, 2}
        << false << false << false
        << QStringList{"A2147483647", "B2147483647", "A2147483647:B2147483647"}
        << QStringList{"A2147483647", "B2147483647"} << QStringList{};
    QTest::newRow("walk at the last column")
        << "FXSHRXV1:FXSHRXW1" << true << true << true << QList<int>{1, maxInt - 1, 1, maxInt}
        << false << false << false << QStringList{"FXSHRXV1", "FXSHRXW1", "FXSHRXV1:FXSHRXW1"}
        << QStringList{"FXSHRXV1", "FXSHRXW1"} << QStringList{};
    QTest::newRow("whole sheet not walked")
        << "A1:XFD1048576" << true << true << true << QList<int>{1, 1, 1048576, 16384} << false
        << false << false << QStringList{"A1:XFD1048576"} << QStringList{}
        << QStringList{LogCapture::line("Too many cells to walk:", "A1:XFD1048576")};
    QTest::newRow("areas walked in order")
        << "C3;A1:B1" << true << true << false << none << false << false << false
        << QStringList{"C3", "A1", "B1", "A1:B1", "C3;A1:B1"} << QStringList{"C3", "A1:B1"}
        << QStringList{};
    QTest::newRow("areas not walked")
        << "C3;A1:B1" << false << true << false << none << false << false << false
        << QStringList{"C3", "A1:B1", "C3;A1:B1"} << QStringList{"C3", "A1:B1"} << QStringList{};
    QTest::newRow("invalid area ends the block")
        << "A1;B$2;C3" << true << false << false << none << false << false << false
        << QStringList{"A1", "B$2", "C3", "A1;B$2;C3"} << QStringList{"A1"}
        << QStringList{addressMessage("B$2"), blockMessage("B$2"), blockMessage("C3")};
    // A sub-block made for an empty part keeps its empty text, so it is never parsed.
    QTest::newRow("empty last area")
        << "A1;" << true << false << false << none << false << false << false
        << QStringList{"A1", "A1;"} << QStringList{"A1"} << QStringList{blockMessage("")};
    QTest::newRow("areas too large together")
        << "A1:A2;B1:XFD1048576" << true << true << false << none << false << false << false
        << QStringList{"A1:A2", "B1:XFD1048576", "A1:A2;B1:XFD1048576"}
        << QStringList{"A1:A2", "B1:XFD1048576"}
        << QStringList{LogCapture::line("Too many cells to walk:", "A1:A2;B1:XFD1048576")};
}

void TestExcelAddress::parseBlock()
{
    QFETCH(QString, text);
    QFETCH(bool, iterate);
    QFETCH(bool, valid);
    QFETCH(bool, singleArea);
    QFETCH(QList<int>, corners);
    QFETCH(bool, entireRows);
    QFETCH(bool, entireColumns);
    QFETCH(bool, singleCell);
    QFETCH(QStringList, announced);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, messages);

    ExcelAddressBlock block;
    AnnouncementLog log(block);
    LogCapture capture;
    block.setAddress(text, iterate);

    QCOMPARE(log.addresses(), announced);
    QCOMPARE(capture.lines(), messages);
    QCOMPARE(block.valid(), valid);
    QCOMPARE(block.singleArea(), singleArea);
    QCOMPARE(block.isSingleCell(), singleCell);
    QCOMPARE(addressesOf(block.subBlocks()), kept);
    if (singleArea) {
        QCOMPARE((QList<int>{block.firstRow(), block.firstColumn(), block.lastRow(),
                             block.lastColumn()}),
                 corners);
        QCOMPARE(block.entireRows(), entireRows);
        QCOMPARE(block.entireColumns(), entireColumns);
    }
}

void TestExcelAddress::emptyText()
{
    ExcelAddressBlock block;
    AnnouncementLog log(block);
    QVERIFY(!block.valid());
    QVERIFY(log.addresses().isEmpty());

    block.setAddress(QStringLiteral("B2:C3"), true);
    block.setAddress(QString(), true);
    QCOMPARE(log.addresses(), (QStringList{"B2", "C2", "B3", "C3", "B2:C3", ""}));
    QVERIFY(block.valid());
    QVERIFY(block.singleArea());
    QVERIFY(block.entireRows());
    QVERIFY(block.entireColumns());
    QVERIFY(!block.isSingleCell());
    QVERIFY(block.subBlocks().isEmpty());
}

void TestExcelAddress::setAddressParsesChangedTextOnly()
{
    ExcelAddressBlock block;
    AnnouncementLog log(block);
    block.setAddress(QStringLiteral("A1:B2"), true);
    block.setAddress(QStringLiteral("A1:B2"), true);
    QCOMPARE(log.addresses().size(), 5);
    block.setAddress(QStringLiteral("A1:B2"), false);
    QCOMPARE(log.addresses().size(), 5);
    block.setAddress(QStringLiteral("A1:A2"), false);
    QCOMPARE(log.addresses().size(), 6);
}

void TestExcelAddress::subBlocksDieWithReparseAndParent()
{
    QPointer<ExcelAddressBlock> cell;
    QPointer<ExcelAddressBlock> area;
    {
        ExcelAddressBlock block(QStringLiteral("A1:B1"), true);
        QCOMPARE(block.subBlocks().size(), 2);
        cell = block.subBlocks().first();
        block.setAddress(QStringLiteral("C1;D1"), false);
        QVERIFY(cell.isNull());
        area = block.subBlocks().last();
        QCOMPARE(area->address(), QStringLiteral("D1"));
    }
    QVERIFY(area.isNull());
}

QTEST_GUILESS_MAIN(TestExcelAddress)
#include "tst_exceladdress.moc"
