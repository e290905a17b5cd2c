#include "graph/minmaxmultidimdata.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

namespace {

const QColor background(24, 1, 0);

// A one-dimension store showing its curve with the given values and range.
void prepareCurve(MinMaxMultiDimData &data, const QList<double> &values, double lo, double hi)
{
    data.setDimensions({{int(values.size()), QStringLiteral("x"), 0.0, 1.0}});
    data.setDataExtractionSettings({{-1}, false});
    data.setValues(values);
    data.setMinMax(lo, hi);
}

QImage paintInto(MinMaxMultiDimData &data, const QRect &rect, QSize size = QSize(130, 80))
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    data.paint(painter, rect);
    return image;
}

// The curve is yellow: a place counts as drawn when a pixel within one pixel of it clearly
// rises above the dark background in red and green (antialiasing spreads a line over two rows).
bool isDrawn(const QImage &image, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QColor c = image.pixelColor(x + dx, y + dy);
            if (c.red() > 120 && c.green() > 110)
                return true;
        }
    }
    return false;
}

bool isBlank(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != background)
                return false;
        }
    }
    return true;
}

} // namespace

class TestGraph2DPainter : public QObject
{
    Q_OBJECT

private slots:
    void dispatchRefusals_data();
    void dispatchRefusals();
    void successfulPaintClearsDataChanged();
    void dotsOfTheScanCurve();
    void gaps_data();
    void gaps();
    void constantCurveRunsThroughTheMiddle();
    void historyShowsTheNewestValuesFromTheRight();
    void singleValueIsOneDotAtTheRightEdge();
    void shortExtractionShowsItsOwnDimension();
    void nothingToDraw();
};

void TestGraph2DPainter::dispatchRefusals_data()
{
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<QString>("message");

    QTest::newRow("no extraction")
        << QList<int>{3} << QList<int>{} << "Cannot paint with empty indices";
    QTest::newRow("single value") << QList<int>{3, 2} << QList<int>{1, 0}
                                  << "Cannot paint with empty indices";
    QTest::newRow("three free dimensions")
        << QList<int>{2, 2, 2} << QList<int>{-1, -1, -1}
        << "Cannot paint more graphs with more than 3 dimensions. Indices: (-1, -1, -1)";
}

void TestGraph2DPainter::dispatchRefusals()
{
    QFETCH(QList<int>, counts);
    QFETCH(QList<int>, indices);
    QFETCH(QString, message);
    MinMaxMultiDimData data;
    QList<DataDimension> dimensions;
    for (int count : counts)
        dimensions.append({count, QString(), 0.0, 1.0});
    data.setDimensions(dimensions);
    data.setDataExtractionSettings({indices, false});
    QList<double> values;
    for (int k = 0; k < data.expectedValueCount(); ++k)
        values.append(k);
    data.setValues(values);

    QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    const QImage image = paintInto(data, QRect(10, 10, 101, 51));
    QVERIFY(isBlank(image));
    QVERIFY(data.dataChanged());
}

void TestGraph2DPainter::successfulPaintClearsDataChanged()
{
    MinMaxMultiDimData data;
    prepareCurve(data, {0, 5, 10}, 0, 10);
    QVERIFY(data.dataChanged());
    paintInto(data, QRect(QPoint(10, 10), QPoint(110, 60)));
    QVERIFY(!data.dataChanged());
}

// Values 0, 5, 10 over 0 .. 10 in a rectangle 100 px wide and 51 px high: dots at the left edge,
// the middle and the right edge, 0 on the bottom edge and 10 one pixel above the top edge.
void TestGraph2DPainter::dotsOfTheScanCurve()
{
    MinMaxMultiDimData data;
    prepareCurve(data, {0, 5, 10}, 0, 10);
    const QImage image = paintInto(data, QRect(QPoint(10, 10), QPoint(110, 60)));
    QVERIFY(isDrawn(image, 10, 60));
    QVERIFY(isDrawn(image, 60, 34));
    QVERIFY(isDrawn(image, 110, 9));
    // The line between the dots, and nothing beside it.
    QVERIFY(isDrawn(image, 35, 47));
    QVERIFY(!isDrawn(image, 35, 20));
    QVERIFY(!isDrawn(image, 85, 45));
    QVERIFY(!isDrawn(image, 5, 60));
    QVERIFY(!isDrawn(image, 116, 9));
}

void TestGraph2DPainter::gaps_data()
{
    QTest::addColumn<bool>("scanComplete");
    QTest::addColumn<bool>("bridged");

    QTest::newRow("final gap cuts both segments") << true << false;
    QTest::newRow("pending gap is bridged") << false << true;
}

// Values 1, NaN, 3: the dots at both ends are drawn either way; the line between them only
// while the missing value may still come.
void TestGraph2DPainter::gaps()
{
    QFETCH(bool, scanComplete);
    QFETCH(bool, bridged);
    MinMaxMultiDimData data;
    prepareCurve(data, {1, qQNaN(), 3}, 1, 3);
    data.finishScan(scanComplete);
    const QImage image = paintInto(data, QRect(QPoint(10, 10), QPoint(110, 60)));
    QVERIFY(isDrawn(image, 10, 60));
    QVERIFY(isDrawn(image, 110, 9));
    QCOMPARE(isDrawn(image, 35, 47), bridged);
    QCOMPARE(isDrawn(image, 85, 22), bridged);
    // No dot where the missing value would be.
    QVERIFY(!isDrawn(image, 60, 60));
}

void TestGraph2DPainter::constantCurveRunsThroughTheMiddle()
{
    MinMaxMultiDimData data;
    prepareCurve(data, {4, 4, 4}, 4, 4);
    const QImage image = paintInto(data, QRect(QPoint(10, 10), QPoint(110, 60)));
    // The range becomes 3 .. 5, so 4 lies half the height (25.5 px) above the bottom edge.
    for (int x : {10, 40, 75, 110})
        QVERIFY2(isDrawn(image, x, 35), qPrintable(QString::number(x)));
    QVERIFY(!isDrawn(image, 60, 30));
    QVERIFY(!isDrawn(image, 60, 40));
}

// 300 appended values in a rectangle 101 px wide: the 51 newest, 2 px apart, the newest at the
// right edge and the oldest shown at the left edge.
void TestGraph2DPainter::historyShowsTheNewestValuesFromTheRight()
{
    MinMaxMultiDimData data;
    data.setDimensions({{0, QStringLiteral("t"), 0.0, 1.0}});
    data.setDataExtractionSettings({{-1}, false});
    data.setHistoryLimit(300);
    for (int k = 0; k < 300; ++k)
        data.appendValue(k);
    QVERIFY(data.displayAsScan());
    const QRect rect(QPoint(10, 10), QPoint(110, 309));
    const QImage image = paintInto(data, rect, QSize(130, 330));
    const auto yOf = [&](double v) { return int(std::round(309 - v / 299.0 * 300.0)); };
    QVERIFY(isDrawn(image, 110, yOf(299)));
    QVERIFY(isDrawn(image, 60, yOf(274)));
    QVERIFY(isDrawn(image, 10, yOf(249)));
    // Nothing of the older values: the curve ends at the left edge.
    QVERIFY(!isDrawn(image, 10, yOf(200)));
    QVERIFY(!isDrawn(image, 6, yOf(249)));
}

void TestGraph2DPainter::singleValueIsOneDotAtTheRightEdge()
{
    MinMaxMultiDimData data;
    prepareCurve(data, {2}, 2, 2);
    const QImage image = paintInto(data, QRect(QPoint(10, 10), QPoint(110, 60)));
    QVERIFY(isDrawn(image, 110, 35));
    QVERIFY(!isDrawn(image, 104, 35));
    QVERIFY(!isDrawn(image, 60, 35));
}

// An extraction that names only the first of two dimensions shows that dimension at the first
// index of the second: the values 0, 1, 2 out of 0 .. 5, not all six values in a row.
void TestGraph2DPainter::shortExtractionShowsItsOwnDimension()
{
    MinMaxMultiDimData data;
    data.setDimensions({{3, QStringLiteral("x"), 0.0, 1.0}, {2, QStringLiteral("y"), 0.0, 1.0}});
    data.setDataExtractionSettings({{-1}, false});
    data.setValues({0, 1, 2, 3, 4, 5});
    QCOMPARE(data.graphDepth(), int(GraphDepthCurve));
    const QImage image = paintInto(data, QRect(QPoint(10, 10), QPoint(110, 60)));
    QVERIFY(isDrawn(image, 10, 60));
    QVERIFY(isDrawn(image, 60, 50));
    QVERIFY(isDrawn(image, 110, 40));
    QVERIFY(!isDrawn(image, 110, 9));
}

// A curve without a single value and an empty rectangle draw nothing, and nothing fails.
void TestGraph2DPainter::nothingToDraw()
{
    MinMaxMultiDimData data;
    prepareCurve(data, {qQNaN(), qQNaN()}, qQNaN(), qQNaN());
    data.finishScan(true);
    QVERIFY(isBlank(paintInto(data, QRect(QPoint(10, 10), QPoint(110, 60)))));

    prepareCurve(data, {1, 2, 3}, 1, 3);
    QVERIFY(isBlank(paintInto(data, QRect(QPoint(50, 10), QPoint(40, 60)))));

    prepareCurve(data, {}, 0, 1);
    QTest::ignoreMessage(QtDebugMsg, "paint2D: no values");
    QVERIFY(isBlank(paintInto(data, QRect(QPoint(10, 10), QPoint(110, 60)))));
}

QTEST_MAIN(TestGraph2DPainter)
#include "tst_graph2dpainter.moc"
