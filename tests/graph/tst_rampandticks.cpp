#include "graph/axisticks.h"
#include "graph/colourramp.h"

#include <QColor>
#include <QTest>

#include <cmath>

class TestRampAndTicks : public QObject
{
    Q_OBJECT

private slots:
    void rampEntries_data();
    void rampEntries();
    void rampColourAt_data();
    void rampColourAt();
    void ticks_data();
    void ticks();
};

void TestRampAndTicks::rampEntries_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("hue");
    QTest::addColumn<int>("value");
    QTest::newRow("low end is dark blue-violet") << 0 << 255 << 100;
    QTest::newRow("middle") << 128 << 127 << 177;
    QTest::newRow("high end") << 255 << 0 << 255;
}

void TestRampAndTicks::rampEntries()
{
    QFETCH(int, entry);
    QFETCH(int, hue);
    QFETCH(int, value);

    const QColor colour = QColor::fromRgba(rampColour(entry));
    QCOMPARE(colour.alpha(), 255);
    QCOMPARE(colour.hsvSaturation(), 255);
    QCOMPARE(colour.value(), value);
    QVERIFY2(std::abs(colour.hsvHue() - hue) <= 1, qPrintable(QString::number(colour.hsvHue())));
    QCOMPARE(rampColour(entry + 256), rampColour(entry));
    QCOMPARE(rampColour(entry - 256), rampColour(entry));
}

void TestRampAndTicks::rampColourAt_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("entry");
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("0.5 truncates to 127") << 0.5 << 127;
    QTest::newRow("1 is pure red") << 1.0 << 255;
    QTest::newRow("above 1 stays red") << 1.5 << 255;
    QTest::newRow("below 0 stays at the low end") << -0.2 << 0;
    QTest::newRow("NaN") << qQNaN() << 0;
    QTest::newRow("huge") << 1e300 << 255;
}

void TestRampAndTicks::rampColourAt()
{
    QFETCH(double, x);
    QFETCH(int, entry);
    QCOMPARE(::rampColourAt(x), rampColour(entry));
    if (entry == 255)
        QCOMPARE(::rampColourAt(x), qRgb(255, 0, 0));
}

void TestRampAndTicks::ticks_data()
{
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<QList<double>>("positions");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("0..10, whole power of ten")
        << 100.0 << 20.0 << 0.0 << 10.0 << QList<double>{0, 50, 100} << QStringList{"0", "5", "10"};
    QTest::newRow("0..1, half power of ten")
        << 100.0 << 30.0 << 0.0 << 1.0 << QList<double>{0, 50, 100} << QStringList{"0", "0.5", "1"};
    QTest::newRow("negative low end")
        << 200.0 << 40.0 << -7.0 << 3.0 << QList<double>{40, 140} << QStringList{"-5", "0"};
    QTest::newRow("small range") << 100.0 << 25.0 << 0.0 << 0.003
                                 << QList<double>{0, 33.333, 66.667, 100}
                                 << QStringList{"0", "0.001", "0.002", "0.003"};
    QTest::newRow("far from zero") << 100.0 << 40.0 << 1000.0 << 1010.0 << QList<double>{0, 50, 100}
                                   << QStringList{"1000", "1005", "1010"};
    QTest::newRow("length below spacing")
        << 10.0 << 20.0 << 0.0 << 10.0 << QList<double>{} << QStringList{};
    QTest::newRow("high below low")
        << 100.0 << 20.0 << 10.0 << 0.0 << QList<double>{} << QStringList{};
    QTest::newRow("length 0") << 0.0 << 0.0 << 0.0 << 10.0 << QList<double>{} << QStringList{};
    QTest::newRow("empty range") << 100.0 << 20.0 << 5.0 << 5.0 << QList<double>{} << QStringList{};
    QTest::newRow("zero spacing") << 100.0 << 0.0 << 0.0 << 10.0 << QList<double>{}
                                  << QStringList{};
    QTest::newRow("NaN end") << 100.0 << 20.0 << qQNaN() << 10.0 << QList<double>{}
                             << QStringList{};
    QTest::newRow("infinite span")
        << 100.0 << 20.0 << -1e308 << 1e308 << QList<double>{} << QStringList{};
    QTest::newRow("absurd tick count")
        << 1e12 << 1.0 << 0.0 << 1.0 << QList<double>{} << QStringList{};
}

void TestRampAndTicks::ticks()
{
    QFETCH(double, length);
    QFETCH(double, spacing);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QList<double>, positions);
    QFETCH(QStringList, labels);

    QList<double> actualPositions{-1.0};
    QList<double> values{-1.0};
    axisTicks(length, spacing, low, high, actualPositions, values);

    QCOMPARE(actualPositions.size(), positions.size());
    QCOMPARE(values.size(), labels.size());
    for (qsizetype k = 0; k < positions.size(); ++k) {
        QVERIFY2(std::abs(actualPositions[k] - positions[k]) < 0.01,
                 qPrintable(QString::number(actualPositions[k])));
        // Labels are what users read: in particular no "-0".
        QCOMPARE(QString::number(values[k], 'g', 6), labels[k]);
    }
}

QTEST_GUILESS_MAIN(TestRampAndTicks)
#include "tst_rampandticks.moc"
