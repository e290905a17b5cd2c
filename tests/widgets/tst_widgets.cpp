#include "widgets/imagecache.h"
#include "widgets/progresspushbutton.h"
#include "widgets/qmouseeventlabel.h"

#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

class TestWidgets : public QObject
{
    Q_OBJECT

public:
    TestWidgets() { qRegisterMetaType<QMouseEvent *>(); }

private slots:
    void imageCacheSharesOneImagePerPath();
    void imageCacheMissingPathGivesNullImage();
    void progressStrip_data();
    void progressStrip();
    void mouseLabelSignals();
};

void TestWidgets::imageCacheSharesOneImagePerPath()
{
    QImage *first = cachedImage(":icons/IconMarlowinPro16.png");
    QVERIFY(first);
    QVERIFY(!first->isNull());
    QCOMPARE(first->size(), QSize(16, 16));
    QCOMPARE(cachedImage(":icons/IconMarlowinPro16.png"), first);
    // The cache compares paths exactly: another spelling is another entry.
    QVERIFY(cachedImage(":/icons/IconMarlowinPro16.png") != first);
}

void TestWidgets::imageCacheMissingPathGivesNullImage()
{
    QImage *missing = cachedImage(":resources/no-such-image.png");
    QVERIFY(missing);
    QVERIFY(missing->isNull());
    QCOMPARE(missing->width(), 0);
    QCOMPARE(cachedImage(":resources/no-such-image.png"), missing);
    QVERIFY(cachedImage(":RESOURCES/no-such-image.png") != missing);
}

void TestWidgets::progressStrip_data()
{
    QTest::addColumn<double>("progress");
    QTest::addColumn<int>("lastBlueColumn");
    QTest::newRow("empty is one pixel") << 0.0 << 0;
    QTest::newRow("half") << 0.5 << 50;
    QTest::newRow("full") << 1.0 << 99;
}

static bool isStripBlue(QRgb pixel)
{
    return qBlue(pixel) > 150 && qRed(pixel) < 100 && qGreen(pixel) < 100;
}

void TestWidgets::progressStrip()
{
    QFETCH(double, progress);
    QFETCH(int, lastBlueColumn);
    ProgressPushButton button;
    button.resize(100, 24);
    button.setProgress(progress);
    QImage image(button.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    button.render(&image);
    const QRect contents = button.contentsRect();
    const int y1 = contents.bottom() - 3;
    const int y2 = contents.bottom() - 2;
    for (int x = contents.left(); x <= lastBlueColumn; ++x) {
        QVERIFY2(isStripBlue(image.pixel(x, y1)), qPrintable(QString("x=%1").arg(x)));
        QVERIFY(isStripBlue(image.pixel(x, y2)));
    }
    if (lastBlueColumn + 1 < image.width())
        QVERIFY(!isStripBlue(image.pixel(lastBlueColumn + 1, y1)));
    // The strip is two pixels high and never covers the rows around it.
    QVERIFY(!isStripBlue(image.pixel(contents.left(), y1 - 1)));
    QVERIFY(!isStripBlue(image.pixel(contents.left(), y2 + 1)));
}

void TestWidgets::mouseLabelSignals()
{
    QMouseEventLabel label;
    label.resize(50, 20);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QSignalSpy pressed(&label, &QMouseEventLabel::mousePressed);
    QSignalSpy moved(&label, &QMouseEventLabel::mouseMoved);
    QSignalSpy doubleClicked(&label, &QMouseEventLabel::mouseDoubleClicked);
    QPoint pressPosition;
    connect(&label, &QMouseEventLabel::mousePressed, this,
            [&](QMouseEvent *event) { pressPosition = event->position().toPoint(); });

    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(&label, QPoint(10, 6));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(10, 6));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(doubleClicked.count(), 0);

    // The second press of a double click arrives as a double click, not as another press.
    QTest::mouseDClick(&label, Qt::LeftButton, {}, QPoint(10, 6));
    QCOMPARE(doubleClicked.count(), 1);
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressPosition, QPoint(5, 5));
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
