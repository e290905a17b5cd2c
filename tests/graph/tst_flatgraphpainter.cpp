#include "graph/colourramp.h"
#include "graph/minmaxmultidimdata.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

const QColor background(24, 1, 0);

// A two-dimension store shown as a heat map, columns x rows values given row by row.
void prepareMap(MinMaxMultiDimData &data, int columns, int rows, const QList<double> &values)
{
    data.setDimensions(
        {{columns, QStringLiteral("x"), 0.0, 1.0}, {rows, QStringLiteral("y"), 0.0, 1.0}});
    data.setDataExtractionSettings({{-1, -1}, false});
    data.setFlat3D(true);
    data.setValues(values);
}

QImage paintInto(MinMaxMultiDimData &data, const QRect &rect, QSize size = QSize(320, 220))
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    data.paint(painter, rect);
    return image;
}

} // namespace

class TestFlatGraphPainter : public QObject
{
    Q_OBJECT

private slots:
    void indices_data();
    void indices();
    void missingValueColour_data();
    void missingValueColour();
    void blocksWithoutSmoothing();
    void emptyDimensionDrawsNothing();
};

void TestFlatGraphPainter::indices_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    // Image indices from the top-left pixel on, row by row: the first data row is at the bottom.
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("range 0 .. 3") << QList<double>{0, 1, 2, 3} << 0.0 << 3.0
                                  << QList<int>{170, 255, 1, 85};
    QTest::newRow("constant 5 sits in the middle")
        << QList<double>{5, 5, 5, 5} << 5.0 << 5.0 << QList<int>{128, 128, 128, 128};
    QTest::newRow("outside an imposed range is clamped")
        << QList<double>{-5, 0.5, 7, 1e300} << 0.0 << 1.0 << QList<int>{255, 255, 1, 128};
    QTest::newRow("missing is index 0")
        << QList<double>{qQNaN(), 1, 2, 3} << 1.0 << 3.0 << QList<int>{128, 255, 0, 1};
}

void TestFlatGraphPainter::indices()
{
    QFETCH(QList<double>, values);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(QList<int>, expected);
    MinMaxMultiDimData data;
    prepareMap(data, 2, 2, values);
    data.setMinMax(minimum, maximum);
    paintInto(data, QRect(0, 0, 200, 200));

    const QImage &image = data.flatImage();
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QCOMPARE(image.size(), QSize(2, 2));
    QCOMPARE(image.colorCount(), 256);
    const QList<int> actual{image.pixelIndex(0, 0), image.pixelIndex(1, 0), image.pixelIndex(0, 1),
                            image.pixelIndex(1, 1)};
    QCOMPARE(actual, expected);
    QCOMPARE(image.color(1), rampColour(1));
    QCOMPARE(image.color(255), rampColour(255));
}

void TestFlatGraphPainter::missingValueColour_data()
{
    QTest::addColumn<bool>("scanComplete");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("final: light grey") << true << QColor(160, 160, 160);
    QTest::newRow("pending: dark brown") << false << QColor(32, 16, 0);
}

// The missing cell is the bottom-left one, a quarter of the rectangle.
void TestFlatGraphPainter::missingValueColour()
{
    QFETCH(bool, scanComplete);
    QFETCH(QColor, colour);
    MinMaxMultiDimData data;
    prepareMap(data, 2, 2, {qQNaN(), 1, 2, 3});
    data.finishScan(scanComplete);
    data.setDrawSettings3DFlat({false});
    const QImage image = paintInto(data, QRect(10, 10, 200, 200));
    QCOMPARE(image.pixelColor(60, 160), colour);
    QCOMPARE(image.pixelColor(160, 160), QColor(rampColour(1)));
}

// Without smoothing a 3 x 2 map fills 300 x 200 pixels with six flat blocks of 100 x 100.
void TestFlatGraphPainter::blocksWithoutSmoothing()
{
    MinMaxMultiDimData data;
    prepareMap(data, 3, 2, {0, 1, 2, 3, 4, 5});
    data.setDrawSettings3DFlat({false});
    const QImage image = paintInto(data, QRect(10, 10, 300, 200));
    const QImage &map = data.flatImage();
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QColor expected(map.color(map.pixelIndex(column, row)));
            const int left = 10 + 100 * column;
            const int top = 10 + 100 * row;
            for (const QPoint &p :
                 {QPoint(left, top), QPoint(left + 99, top + 99), QPoint(left + 50, top + 50)})
                QCOMPARE(image.pixelColor(p), expected);
        }
    }
    QCOMPARE(image.pixelColor(311, 100), background);

    data.setDrawSettings3DFlat({true});
    const QImage smooth = paintInto(data, QRect(10, 10, 300, 200));
    // Bilinear scaling blends neighbouring blocks across their border.
    QVERIFY(smooth.pixelColor(109, 60) != image.pixelColor(109, 60));
    QCOMPARE(smooth.pixelColor(311, 100), background);
}

void TestFlatGraphPainter::emptyDimensionDrawsNothing()
{
    MinMaxMultiDimData data;
    prepareMap(data, 0, 3, {});
    const QImage image = paintInto(data, QRect(10, 10, 200, 200));
    QCOMPARE(image.pixelColor(100, 100), background);
    QVERIFY(data.flatImage().isNull());
    QVERIFY(!data.dataChanged());
}

QTEST_MAIN(TestFlatGraphPainter)
#include "tst_flatgraphpainter.moc"
