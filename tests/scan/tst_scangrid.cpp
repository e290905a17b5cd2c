#include "scan/scangrid.h"

#include <QTest>

namespace {

ScanDimension axis(double minimum, double maximum, double step)
{
    ScanDimension dimension;
    dimension.minimum = minimum;
    dimension.maximum = maximum;
    dimension.step = step;
    return dimension;
}

QList<int> visitOrder(int total)
{
    ScanWalk walk(total);
    QList<int> order;
    int index = 0;
    while (walk.next(index) && order.size() <= total)
        order.append(index);
    return order;
}

} // namespace

Q_DECLARE_METATYPE(ScanDimension)

class TestScanGrid : public QObject
{
    Q_OBJECT

private slots:
    void targetPoints_data();
    void targetPoints();
    void sizing_data();
    void sizing();
    void degenerateAxes();
    void walkOrder_data();
    void walkOrder();
    void walkVisitsEveryIndexOnce();
    void indexDecomposition();
    void minPointsBeforeStop();
};

void TestScanGrid::targetPoints_data()
{
    QTest::addColumn<int>("sliders");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("target");
    QTest::newRow("one slider, z 30") << 1 << 30 << 45;
    QTest::newRow("two sliders, z 30") << 2 << 30 << 217;
    QTest::newRow("three sliders, z 30") << 3 << 30 << 730;
    QTest::newRow("one slider, z 12") << 1 << 12 << 7;
    QTest::newRow("one slider, z 100") << 1 << 100 << 500;
    QTest::newRow("two sliders, z 100") << 2 << 100 << 6560;
    QTest::newRow("four sliders, z 12") << 4 << 12 << 51;
    QTest::newRow("the doubling floor wins") << 6 << 12 << 128;
    QTest::newRow("many sliders saturate") << 21 << 100 << INT_MAX;
}

void TestScanGrid::targetPoints()
{
    QFETCH(int, sliders);
    QFETCH(int, zoom);
    QFETCH(int, target);
    QCOMPARE(ScanGrid::targetPoints(sliders, zoom), target);
}

void TestScanGrid::sizing_data()
{
    QTest::addColumn<QList<ScanDimension>>("axes");
    QTest::addColumn<QList<int>>("multipliers");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QList<double>>("maxima");
    QTest::newRow("11 points fit") << QList<ScanDimension>{axis(0, 10, 1)} << QList<int>{1}
                                   << QList<int>{11} << QList<double>{10};
    QTest::newRow("0..100 coarsens to a spacing of 3")
        << QList<ScanDimension>{axis(0, 100, 1)} << QList<int>{3} << QList<int>{34}
        << QList<double>{99};
    QTest::newRow("two axes, ties go to the first")
        << QList<ScanDimension>{axis(0, 100, 1), axis(0, 100, 1)} << QList<int>{8, 7}
        << QList<int>{13, 15} << QList<double>{96, 98};
    QTest::newRow("range not a multiple of the step")
        << QList<ScanDimension>{axis(0, 10.5, 1)} << QList<int>{1} << QList<int>{11}
        << QList<double>{10};
    QTest::newRow("rounding below a whole step keeps the last step")
        << QList<ScanDimension>{axis(0, 0.3, 0.1)} << QList<int>{1} << QList<int>{4}
        << QList<double>{0.30000000000000004};
}

// Zoom 30 throughout, as the examples are given.
void TestScanGrid::sizing()
{
    QFETCH(QList<ScanDimension>, axes);
    QFETCH(QList<int>, multipliers);
    QFETCH(QList<int>, counts);
    QFETCH(QList<double>, maxima);
    ScanGrid grid(axes);
    grid.size(30);
    for (int i = 0; i < axes.size(); ++i) {
        QCOMPARE(grid.dimensions()[i].stepMultiplier, multipliers[i]);
        QCOMPARE(grid.dimensions()[i].pointCount(), counts[i]);
        QCOMPARE(grid.dimensions()[i].maximum, maxima[i]);
    }
}

// A step that is not positive leaves an axis without points: the grid is empty and sizing ends.
void TestScanGrid::degenerateAxes()
{
    ScanGrid zero({axis(0, 10, 0), axis(0, 100, 1)});
    zero.size(30);
    QCOMPARE(zero.dimensions()[0].pointCount(), -1);
    QCOMPARE(zero.totalPoints(), 0);
    QCOMPARE(visitOrder(zero.totalPoints()), QList<int>());

    ScanGrid wide({axis(0, 1, 1)});
    wide.size(30);
    QCOMPARE(wide.totalPoints(), 2);
    QCOMPARE(wide.values({1}), QList<double>{1});

    ScanGrid fine({axis(0, 1, 1e-5), axis(0, 1, 1e-5), axis(0, 1, 1e-5), axis(0, 1, 1e-5)});
    fine.size(12);
    QVERIFY(fine.totalPoints() <= ScanGrid::targetPoints(4, 12));
}

void TestScanGrid::walkOrder_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("11 points") << 11 << QList<int>{0, 10, 8, 4, 6, 2, 1, 3, 5, 7, 9};
    QTest::newRow("16 points") << 16
                               << QList<int>{0, 15, 8, 4, 12, 14, 10, 6, 2, 1, 3, 5, 7, 9, 11, 13};
    QTest::newRow("one point") << 1 << QList<int>{0};
    QTest::newRow("two points") << 2 << QList<int>{0, 1};
    QTest::newRow("none") << 0 << QList<int>();
}

void TestScanGrid::walkOrder()
{
    QFETCH(int, total);
    QFETCH(QList<int>, order);
    QCOMPARE(visitOrder(total), order);
}

void TestScanGrid::walkVisitsEveryIndexOnce()
{
    for (int total : {3, 5, 7, 34, 195, 1000, 6560}) {
        QList<int> order = visitOrder(total);
        QCOMPARE(order.size(), total);
        QCOMPARE(order.first(), 0);
        QCOMPARE(order[1], total - 1);
        std::sort(order.begin(), order.end());
        for (int i = 0; i < total; ++i)
            QCOMPARE(order[i], i);
    }
}

// The first axis varies fastest, as the data stores lay their values out.
void TestScanGrid::indexDecomposition()
{
    ScanGrid grid({axis(0, 2, 1), axis(10, 11, 1), axis(0, 30, 10)});
    QCOMPARE(grid.totalPoints(), 3 * 2 * 4);
    QCOMPARE(grid.positions(0), (QList<int>{0, 0, 0}));
    QCOMPARE(grid.positions(1), (QList<int>{1, 0, 0}));
    QCOMPARE(grid.positions(3), (QList<int>{0, 1, 0}));
    QCOMPARE(grid.positions(23), (QList<int>{2, 1, 3}));
    QCOMPARE(grid.values({2, 1, 3}), (QList<double>{2, 11, 30}));
}

void TestScanGrid::minPointsBeforeStop()
{
    ScanGrid one({axis(0, 10, 1)});
    QCOMPARE(one.minPointsBeforeStop(), 3); // 2^floor(log2(11 / 4)) + 1
    ScanGrid two({axis(0, 100, 1), axis(0, 100, 1)});
    two.size(30);
    QCOMPARE(two.minPointsBeforeStop(), 17); // 2^floor(log2(195 / 8)) + 1
}

QTEST_APPLESS_MAIN(TestScanGrid)
#include "tst_scangrid.moc"
