#include "graph/simplemultidimdata.h"

#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <cmath>

namespace {

QList<DataDimension> dimensionsOf(const QList<int> &counts)
{
    QList<DataDimension> dimensions;
    for (int count : counts)
        dimensions.append({count, QStringLiteral("d%1").arg(dimensions.size()), 0.0, 1.0});
    return dimensions;
}

// A store over the given counts whose every value equals its own flat offset, so that values
// read back reveal the offsets they came from.
void fillWithOffsets(SimpleMultiDimData &store, const QList<int> &counts)
{
    store.setDimensions(dimensionsOf(counts));
    QList<double> values;
    for (int k = 0; k < store.expectedValueCount(); ++k)
        values.append(k);
    QVERIFY(store.setValues(values));
}

// Records the store's signals by name in the order they arrive.
QStringList *recordSignals(SimpleMultiDimData &store)
{
    auto *log = new QStringList;
    QObject::connect(&store, &QObject::destroyed, [log] { delete log; });
    QObject::connect(&store, &SimpleMultiDimData::changed, [log] { log->append("changed"); });
    QObject::connect(&store, &SimpleMultiDimData::dimensionsChanged,
                     [log] { log->append("dimensionsChanged"); });
    QObject::connect(&store, &SimpleMultiDimData::reportNaN, [log] { log->append("reportNaN"); });
    return log;
}

} // namespace

class TestSimpleMultiDimData : public QObject
{
    Q_OBJECT

private slots:
    void offsets_data();
    void offsets();
    void invalidIndicesLeaveStoreUntouched();
    void setDimensions_data();
    void setDimensions();
    void badDimensionsAreRefused_data();
    void badDimensionsAreRefused();
    void setValues();
    void setValueWithNaNReportsFirst();
    void resetAndClear();
    void history_data();
    void history();
    void appendNeedsExactlyOneDimension_data();
    void appendNeedsExactlyOneDimension();
    void extraction_data();
    void extraction();
};

void TestSimpleMultiDimData::offsets_data()
{
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("message");

    const QList<int> c32{3, 2};
    QTest::newRow("origin") << c32 << QList<int>{0, 0} << 0 << QString();
    QTest::newRow("first dimension fastest") << c32 << QList<int>{1, 0} << 1 << QString();
    QTest::newRow("second dimension strides by count0")
        << c32 << QList<int>{0, 1} << 3 << QString();
    QTest::newRow("last value") << c32 << QList<int>{2, 1} << 5 << QString();
    QTest::newRow("short list fixes leading dimensions") << c32 << QList<int>{2} << 2 << QString();
    QTest::newRow("three dimensions")
        << QList<int>{2, 3, 4} << QList<int>{1, 2, 3} << 23 << QString();
    QTest::newRow("offset equal to size")
        << c32 << QList<int>{0, 2} << -1 << "GET invalid for (0, 2) offset: 6 data size: 6";
    QTest::newRow("negative offset")
        << c32 << QList<int>{-1, 0} << -1 << "GET invalid for (-1, 0) offset: -1 data size: 6";
    QTest::newRow("empty list") << c32 << QList<int>{} << -1
                                << "GET invalid for () dimension count: 2";
    QTest::newRow("more entries than dimensions")
        << c32 << QList<int>{0, 0, 0} << -1 << "GET invalid for (0, 0, 0) dimension count: 2";
    QTest::newRow("no dimensions")
        << QList<int>{} << QList<int>{0} << -1 << "GET invalid for (0) dimension count: 0";
    QTest::newRow("64-bit overflow")
        << QList<int>{65536, 65536, 0} << QList<int>{INT_MAX, INT_MAX, INT_MAX} << -1
        << "GET invalid for (2147483647, 2147483647, 2147483647) "
           "offset: overflow data size: 0";
}

void TestSimpleMultiDimData::offsets()
{
    QFETCH(QList<int>, counts);
    QFETCH(QList<int>, indices);
    QFETCH(int, offset);
    QFETCH(QString, message);

    SimpleMultiDimData store;
    fillWithOffsets(store, counts);
    if (!message.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    QCOMPARE(store.offsetOf(indices), offset);
    if (!message.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    const double value = store.value(indices);
    if (offset < 0)
        QVERIFY(std::isnan(value));
    else
        QCOMPARE(value, double(offset));
}

void TestSimpleMultiDimData::invalidIndicesLeaveStoreUntouched()
{
    SimpleMultiDimData store;
    fillWithOffsets(store, {3, 2});
    store.markPainted();
    const QList<double> before = store.values();
    QSignalSpy changed(&store, &SimpleMultiDimData::changed);

    QTest::ignoreMessage(QtDebugMsg, "GET invalid for (0, 2) offset: 6 data size: 6");
    QVERIFY(!store.setValue({0, 2}, 7.0));
    QTest::ignoreMessage(QtDebugMsg, "GET invalid for () dimension count: 2");
    QVERIFY(!store.setValue({}, 7.0));
    QTest::ignoreMessage(QtDebugMsg, "GET invalid for (0, 0, 0) dimension count: 2");
    QVERIFY(!store.setValue({0, 0, 0}, 7.0));

    QCOMPARE(store.values(), before);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!store.dataChanged());
}

void TestSimpleMultiDimData::setDimensions_data()
{
    QTest::addColumn<QList<DataDimension>>("next");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<bool>("signalled");

    // The store starts from counts 3 and 2 with the values 0 .. 5.
    const double nan = qQNaN();
    QTest::newRow("equal list") << dimensionsOf({3, 2}) << QList<double>{0, 1, 2, 3, 4, 5} << false;
    QTest::newRow("shrink 6 to 4 drops the tail")
        << dimensionsOf({2, 2}) << QList<double>{0, 1, 2, 3} << true;
    QTest::newRow("grow 6 to 8 appends NaN")
        << dimensionsOf({4, 2}) << QList<double>{0, 1, 2, 3, 4, 5, nan, nan} << true;
    QList<DataDimension> relabelled = dimensionsOf({3, 2});
    relabelled[1].label = QStringLiteral("other");
    QTest::newRow("label differs") << relabelled << QList<double>{0, 1, 2, 3, 4, 5} << true;
    QList<DataDimension> moved = dimensionsOf({3, 2});
    moved[0].to = 2.0;
    QTest::newRow("range differs") << moved << QList<double>{0, 1, 2, 3, 4, 5} << true;
    QTest::newRow("zero count empties") << dimensionsOf({3, 0}) << QList<double>{} << true;
}

void TestSimpleMultiDimData::setDimensions()
{
    QFETCH(QList<DataDimension>, next);
    QFETCH(QList<double>, values);
    QFETCH(bool, signalled);

    SimpleMultiDimData store;
    fillWithOffsets(store, {3, 2});
    QStringList *log = recordSignals(store);

    QCOMPARE(store.setDimensions(next), signalled);
    QCOMPARE(store.dimensions(), next);
    QCOMPARE(store.values().size(), values.size());
    for (qsizetype k = 0; k < values.size(); ++k) {
        if (std::isnan(values[k]))
            QVERIFY2(std::isnan(store.values()[k]), qPrintable(QString::number(k)));
        else
            QCOMPARE(store.values()[k], values[k]);
    }
    QCOMPARE(store.expectedValueCount(), int(values.size()));
    QCOMPARE(*log, signalled ? QStringList({"changed", "dimensionsChanged"}) : QStringList());
}

void TestSimpleMultiDimData::badDimensionsAreRefused_data()
{
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QString>("message");
    QTest::newRow("negative count") << QList<int>{3, -2} << "Invalid dimension count -2 for \"d1\"";
    QTest::newRow("more values than an int counts")
        << QList<int>{65536, 65536} << "Too many values for 2 dimensions";
}

void TestSimpleMultiDimData::badDimensionsAreRefused()
{
    QFETCH(QList<int>, counts);
    QFETCH(QString, message);

    SimpleMultiDimData store;
    fillWithOffsets(store, {3, 2});
    QStringList *log = recordSignals(store);
    QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    QVERIFY(!store.setDimensions(dimensionsOf(counts)));
    QCOMPARE(store.dimensions(), dimensionsOf({3, 2}));
    QCOMPARE(store.values().size(), 6);
    QVERIFY(log->isEmpty());
}

void TestSimpleMultiDimData::setValues()
{
    SimpleMultiDimData store;
    fillWithOffsets(store, {3, 2});
    QStringList *log = recordSignals(store);

    QTest::ignoreMessage(QtDebugMsg, "Invalid data size. Required: 6  provided: 4");
    QVERIFY(!store.setValues({9, 9, 9, 9}));
    QCOMPARE(store.values(), QList<double>({0, 1, 2, 3, 4, 5}));
    QVERIFY(log->isEmpty());

    QVERIFY(store.setValues({5, 4, 3, 2, 1, 0}));
    QCOMPARE(store.value({0, 1}), 2.0);
    QCOMPARE(*log, QStringList{"changed"});
}

void TestSimpleMultiDimData::setValueWithNaNReportsFirst()
{
    SimpleMultiDimData store;
    fillWithOffsets(store, {3, 2});
    store.markPainted();
    QStringList *log = recordSignals(store);

    QVERIFY(store.setValue({1, 1}, qQNaN()));
    QCOMPARE(*log, QStringList({"reportNaN", "changed"}));
    QVERIFY(std::isnan(store.values()[4]));
    QVERIFY(store.dataChanged());

    log->clear();
    QVERIFY(store.setValue({2, 0}, 8.5));
    QCOMPARE(*log, QStringList{"changed"});
    QCOMPARE(store.values()[2], 8.5);
}

void TestSimpleMultiDimData::resetAndClear()
{
    SimpleMultiDimData store;
    fillWithOffsets(store, {3, 2});
    store.finishScan(true);
    QStringList *log = recordSignals(store);

    store.resetValues();
    QCOMPARE(store.values().size(), 6);
    for (double v : store.values())
        QVERIFY(std::isnan(v));
    QVERIFY(!store.scanComplete());
    QCOMPARE(store.dimensions().size(), 2);
    QCOMPARE(*log, QStringList{"changed"});

    log->clear();
    store.finishScan(true);
    store.clear();
    QVERIFY(store.values().isEmpty());
    QVERIFY(store.dimensions().isEmpty());
    QVERIFY(!store.scanComplete());
    QCOMPARE(store.expectedValueCount(), 0);
    QCOMPARE(*log, QStringList({"dimensionsChanged", "changed"}));
}

void TestSimpleMultiDimData::history_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("appends");
    QTest::addColumn<int>("kept");

    QTest::newRow("default limit, 250 appends") << -1 << 250 << 200;
    QTest::newRow("below the limit") << -1 << 150 << 150;
    QTest::newRow("limit 10") << 10 << 25 << 10;
    QTest::newRow("limit 0 keeps nothing") << 0 << 5 << 0;
}

void TestSimpleMultiDimData::history()
{
    QFETCH(int, limit);
    QFETCH(int, appends);
    QFETCH(int, kept);

    SimpleMultiDimData store;
    store.setDimensions(dimensionsOf({0}));
    store.setHistoryLimit(limit); // -1 is ignored: the default of 200 stays
    QSignalSpy changed(&store, &SimpleMultiDimData::changed);
    for (int k = 0; k < appends; ++k)
        QVERIFY(store.appendValue(k));

    QCOMPARE(store.values().size(), kept);
    QCOMPARE(store.dimensions().first().count, kept);
    QCOMPARE(store.expectedValueCount(), kept);
    if (kept > 0) {
        QCOMPARE(store.values().first(), double(appends - kept));
        QCOMPARE(store.values().last(), double(appends - 1));
    }
    QCOMPARE(changed.count(), appends);
}

void TestSimpleMultiDimData::appendNeedsExactlyOneDimension_data()
{
    QTest::addColumn<QList<int>>("counts");
    QTest::newRow("no dimension") << QList<int>{};
    QTest::newRow("two dimensions") << QList<int>{3, 2};
    QTest::newRow("three dimensions") << QList<int>{1, 1, 1};
}

void TestSimpleMultiDimData::appendNeedsExactlyOneDimension()
{
    QFETCH(QList<int>, counts);
    SimpleMultiDimData store;
    fillWithOffsets(store, counts);
    const QList<double> before = store.values();
    QSignalSpy changed(&store, &SimpleMultiDimData::changed);

    QVERIFY(!store.appendValue(1.0));
    QCOMPARE(store.values(), before);
    QCOMPARE(store.dimensions(), dimensionsOf(counts));
    QCOMPARE(changed.count(), 0);
}

void TestSimpleMultiDimData::extraction_data()
{
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<QList<double>>("offsets");
    QTest::addColumn<QString>("message");

    const QList<int> c32{3, 2};
    QTest::newRow("first dimension free")
        << c32 << QList<int>{-1, 1} << QList<double>{3, 4, 5} << QString();
    QTest::newRow("second dimension free")
        << c32 << QList<int>{2, -1} << QList<double>{2, 5} << QString();
    QTest::newRow("both free in storage order")
        << c32 << QList<int>{-1, -1} << QList<double>{0, 1, 2, 3, 4, 5} << QString();
    QTest::newRow("short list padded with -1")
        << c32 << QList<int>{1} << QList<double>{1, 4} << QString();
    QTest::newRow("nothing free") << c32 << QList<int>{2, 1} << QList<double>{5} << QString();
    QTest::newRow("outer free dimensions, lower fastest")
        << QList<int>{2, 3, 2} << QList<int>{-1, 1, -1} << QList<double>{2, 3, 8, 9} << QString();
    QTest::newRow("free dimension of count 0")
        << QList<int>{3, 0} << QList<int>{1, -1} << QList<double>{} << QString();
    QTest::newRow("more entries than dimensions")
        << c32 << QList<int>{-1, 0, 0} << QList<double>{}
        << "Cannot extract with indices (-1, 0, 0) for dimensions with count 2";
}

void TestSimpleMultiDimData::extraction()
{
    QFETCH(QList<int>, counts);
    QFETCH(QList<int>, indices);
    QFETCH(QList<double>, offsets);
    QFETCH(QString, message);

    SimpleMultiDimData store;
    fillWithOffsets(store, counts);
    if (!message.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    QCOMPARE(store.extractValues(indices), offsets);
}

QTEST_GUILESS_MAIN(TestSimpleMultiDimData)
#include "tst_simplemultidimdata.moc"
