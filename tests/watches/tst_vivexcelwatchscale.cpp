#include "watches/vivexcelwatchscale.h"

#include "graph/colourramp.h"
#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"
#include "watchtesthelpers.h"

#include <QImage>
#include <QTest>

using namespace WatchTest;

namespace {

// Counts the paint events a widget receives.
class PaintEventCounter : public QObject
{
public:
    explicit PaintEventCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// A scale laid out as the watch window places it beside a surface.
void shape(VIVExcelWatchScale &scale)
{
    scale.setContentsMargins(0, 3, 0, 24);
    scale.resize(44, 200);
}

bool isMarkerBox(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) > 200 && qBlue(pixel) > 150 && qBlue(pixel) < 235;
}

} // namespace

class TestWatchScale : public QObject
{
    Q_OBJECT

private slots:
    void pairingWorksFromEitherSide();
    void emptyRangeIsWidened();
    void rampAndTicksFollowTheSize();
    void burstOfUpdatesGivesOneRepaint();
    void markerBoxStaysInside_data();
    void markerBoxStaysInside();
    void drawsRampWithoutRangeOrView();
};

void TestWatchScale::pairingWorksFromEitherSide()
{
    VIVExcelWatchView first;
    VIVExcelWatchView second;
    VIVExcelWatchScale scale;
    scale.setWatchView(&first);
    QCOMPARE(first.watchScale(), &scale);

    second.setWatchScale(&scale);
    QCOMPARE(scale.watchView(), &second);
    QCOMPARE(first.watchScale(), nullptr);

    second.setWatchScale(nullptr);
    QCOMPARE(scale.watchView(), nullptr);

    // A view that goes away leaves the scale unpaired rather than dangling.
    {
        VIVExcelWatchView shortLived;
        scale.setWatchView(&shortLived);
    }
    QCOMPARE(scale.watchView(), nullptr);
}

void TestWatchScale::emptyRangeIsWidened()
{
    VIVExcelWatchScale scale;
    shape(scale);
    scale.setValueRange(5.0, 5.0);
    QCOMPARE(scale.rangeMin(), 4.5);
    QCOMPARE(scale.rangeMax(), 5.5);
    QVERIFY(!scale.tickValues().isEmpty());
}

void TestWatchScale::rampAndTicksFollowTheSize()
{
    VIVExcelWatchScale scale;
    shape(scale);
    VIVExcelWatchView view;
    view.data()->setMinMax(0.0, 10.0);
    scale.setWatchView(&view);
    QImage image(scale.size(), QImage::Format_ARGB32);
    scale.render(&image);
    const int rows = scale.contentsRect().height();
    QCOMPARE(scale.rampColours().size(), rows);
    QCOMPARE(scale.rampColours().first().rgb(), rampColour(255));
    QCOMPARE(scale.rampColours().last().rgb(), rampColour(int(1.0 / rows * 255.0)));
    QCOMPARE(scale.tickValues(), QList<double>({0.0, 5.0, 10.0}));
    QCOMPARE(scale.tickPositions().size(), 3);
    QVERIFY(std::abs(scale.tickPositions().at(2) - (rows - 1)) < 0.01);

    scale.resize(44, 100);
    scale.render(&image);
    QCOMPARE(scale.rampColours().size(), scale.contentsRect().height());
}

void TestWatchScale::burstOfUpdatesGivesOneRepaint()
{
    VIVExcelWatchView view;
    VIVExcelWatchScale scale;
    shape(scale);
    scale.setWatchView(&view);
    scale.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scale));
    PaintEventCounter paints(&scale);
    scale.update(true);
    QCOMPARE(paints.count, 1);
    for (int i = 0; i < 20; ++i)
        scale.update();
    QVERIFY(scale.isRepaintPending());
    QCOMPARE(paints.count, 1);
    QTRY_COMPARE(paints.count, 2);
    QVERIFY(!scale.isRepaintPending());
}

void TestWatchScale::markerBoxStaysInside_data()
{
    QTest::addColumn<QPointF>("split");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<bool>("atTop");
    // The surface runs from 0 at (0, 0) to 34 at (1, 1).
    QTest::newRow("above the range") << QPointF(1.0, 1.0) << 0.0 << 10.0 << true;
    QTest::newRow("below the range") << QPointF(0.0, 0.0) << 10.0 << 40.0 << false;
}

void TestWatchScale::markerBoxStaysInside()
{
    QFETCH(QPointF, split);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(bool, atTop);
    VIVExcelWatchView view;
    fillSurface(*view.data());
    view.data()->setMinMax(low, high);
    view.setSplitPoint(split);
    view.updateSubWatches();
    VIVExcelWatchScale scale;
    shape(scale);
    scale.setWatchView(&view);

    QImage image(scale.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    scale.render(&image);
    const QRect contents = scale.contentsRect();
    const int h = contents.bottom() - contents.top();
    const int y = atTop ? contents.top() + 7 : contents.top() + h - 6;
    QVERIFY(isMarkerBox(image.pixel(8, y)));
}

void TestWatchScale::drawsRampWithoutRangeOrView()
{
    VIVExcelWatchScale lonely;
    shape(lonely);
    QImage image(lonely.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    lonely.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    QCOMPARE(image.pixel(3, 50), qRgb(0, 0, 0));

    // A view without data: the ramp is there, no ticks and no marker.
    VIVExcelWatchView view;
    lonely.setWatchView(&view);
    lonely.render(&image);
    const QRect contents = lonely.contentsRect();
    QCOMPARE(image.pixel(contents.left() + 3, contents.top()), rampColour(255));
    QVERIFY(std::isnan(lonely.rangeMin()));

    VIVExcelWatchScale flat;
    flat.setWatchView(&view);
    flat.resize(0, 0);
    QImage none(1, 1, QImage::Format_ARGB32);
    flat.render(&none);
}

QTEST_MAIN(TestWatchScale)
#include "tst_vivexcelwatchscale.moc"
