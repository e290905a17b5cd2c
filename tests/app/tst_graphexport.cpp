#include "app/graphexport.h"

#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"

#include <QTest>

#include <cstring>

namespace {

quint64 bits(double value)
{
    quint64 word = 0;
    std::memcpy(&word, &value, sizeof word);
    return word;
}

} // namespace

class TestGraphExport : public QObject
{
    Q_OBJECT

private slots:
    void dataText_data();
    void dataText();
    void numbersReadBackBitForBit_data();
    void numbersReadBackBitForBit();
    void htmlTableKeepsTheRows();
    void imageLeavesTheSplitLinesAlone();
};

void TestGraphExport::dataText_data()
{
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QList<int>>("extraction");
    QTest::addColumn<QStringList>("lines");

    QStringList curve{"Rate\tPayment / Monthly"};
    for (int i = 0; i <= 10; ++i)
        curve.append(QString("%1\t%2").arg(i).arg(i * 100 + 0.5));
    QTest::newRow("curve over 11 points") << QList<int>{11} << QList<int>{-1} << curve;
    QTest::newRow("surface of 3 x 2 points") << QList<int>{3, 2} << QList<int>{-1, -1}
                                             << QStringList{"Rate\tYears\tPayment / Monthly",
                                                            "0\t0\t0.5",
                                                            "0\t1\t300.5",
                                                            "1\t0\t100.5",
                                                            "1\t1\t400.5",
                                                            "2\t0\t200.5",
                                                            "2\t1\t500.5"};
    QTest::newRow("a fixed second axis leaves a curve")
        << QList<int>{3, 2} << QList<int>{-1, 1}
        << QStringList{"Rate\tPayment / Monthly", "0\t300.5", "1\t400.5", "2\t500.5"};
    QTest::newRow("a single value exports nothing")
        << QList<int>{3} << QList<int>{1} << QStringList();
}

// Values are 100 x their flat offset + 0.5, so each line shows where its value came from.
void TestGraphExport::dataText()
{
    QFETCH(QList<int>, counts);
    QFETCH(QList<int>, extraction);
    QFETCH(QStringList, lines);
    MinMaxMultiDimData data;
    const QStringList labels{"Rate", "Years"};
    QList<DataDimension> dimensions;
    int total = 1;
    for (int i = 0; i < counts.size(); ++i) {
        dimensions.append({counts[i], labels[i], 0.0, double(counts[i] - 1)});
        total *= counts[i];
    }
    data.setDimensions(dimensions);
    QList<double> values;
    for (int k = 0; k < total; ++k)
        values.append(k * 100 + 0.5);
    QVERIFY(data.setValues(values));
    data.setDataExtractionSettings({extraction, false});
    const QString text = GraphExport::dataText(data, "Payment\nMonthly");
    QCOMPARE(text.isEmpty() ? QStringList() : text.split("\n"), lines);
}

void TestGraphExport::numbersReadBackBitForBit_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("cents") << 149442.54 << "149442.54";
    QTest::newRow("one third") << 1.0 / 3 << "0.3333333333333333";
    QTest::newRow("large") << 1.2345678901234567e+22 << "1.2345678901234568e+22";
    QTest::newRow("missing") << qQNaN() << "nan";
}

// A pasted export must hold the very doubles the graph holds, and the same for the axis.
void TestGraphExport::numbersReadBackBitForBit()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    MinMaxMultiDimData data;
    data.setDimensions({{2, "Rate", 0.0, 0.1 + 0.2}});
    QVERIFY(data.setValues({1.0, value}));
    data.setDataExtractionSettings({{-1}, false});
    const QStringList last = GraphExport::dataText(data, "Interest").split("\n").last().split("\t");
    QCOMPARE(last.value(1), text);
    const double rate = last.value(0).toDouble();
    const double read = last.value(1).toDouble();
    QCOMPARE(bits(rate), bits(0.1 + 0.2));
    QCOMPARE(qIsNaN(read), qIsNaN(value));
    if (!qIsNaN(value))
        QCOMPARE(bits(read), bits(value));
}

void TestGraphExport::htmlTableKeepsTheRows()
{
    QCOMPARE(GraphExport::htmlTable("a\tb<c\n1\tnan"),
             QString("<table><tr><td>a</td><td>b&lt;c</td></tr><tr><td>1</td><td>nan</td></tr>"
                     "</table>"));
}

void TestGraphExport::imageLeavesTheSplitLinesAlone()
{
    VIVExcelWatchView watch;
    watch.resize(200, 150);
    watch.setAreaFlags(VIVExcelWatchView::AreaAll);
    watch.setCanUseFastDraw(true);
    const QPixmap picture = GraphExport::image(&watch);
    QCOMPARE(picture.size(), watch.size());
    QCOMPARE(watch.areaFlags(), WatchAreaFlags(VIVExcelWatchView::AreaAll));
    QCOMPARE(watch.fastDrawCount(), 1);
}

QTEST_MAIN(TestGraphExport)
#include "tst_graphexport.moc"
