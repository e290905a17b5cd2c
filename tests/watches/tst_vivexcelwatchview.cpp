#include "watches/vivexcelwatchview.h"

#include "excel/excelrange.h"
#include "excel/excelworksheet.h"
#include "excel/vivexcelrange.h"
#include "graph/minmaxmultidimdata.h"
#include "watchtesthelpers.h"

#include <QImage>
#include <QPainter>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>

using namespace WatchTest;
using View = VIVExcelWatchView;
using DragMode = WatchInteraction::DragMode;

namespace {

// Counts paints through afterPaint(), which carries a painter and so cannot be spied on.
struct PaintCounter
{
    explicit PaintCounter(View *view)
    {
        QObject::connect(view, &View::afterPaint, view, [this](QPainter &) { ++count; });
    }
    int count = 0;
};

// A cell that only knows its address.
class AddressOnlyRange : public ExcelRange
{
public:
    explicit AddressOnlyRange(const QString &address) : m_address(address) {}
    QString describe() const override { return m_address; }
    QVariant value() override { return {}; }
    void setValue(double) override {}
    QString text() override { return {}; }
    bool hasFormula() override { return true; }
    int row() override { return 0; }
    int column() override { return 0; }
    QString address() override { return m_address; }
    std::unique_ptr<ExcelWorksheet> worksheet() override { return nullptr; }

private:
    QString m_address;
};

QImage rendered(View &view)
{
    QImage image(view.size(), QImage::Format_ARGB32);
    image.fill(Qt::gray);
    view.render(&image);
    return image;
}

} // namespace

class TestWatchView : public QObject
{
    Q_OBJECT

private slots:
    void areaRects_data();
    void areaRects();
    void unknownAreaWarns();
    void scaleAndAxisValues();
    void rangeGivesTextAndClearsData();
    void indicatorStripShowsButtonsOnly();
    void buttonClickReportsNameAndHides_data();
    void buttonClickReportsNameAndHides();
    void hoverPicksButtonAndLeavingHidesRow();
    void emptyButtonListDrawsNoIndicator();
    void splitPointFromClicksIsClamped_data();
    void splitPointFromClicksIsClamped();
    void splitPointNeedsSplitFlags();
    void dragModesChangeTheirFields_data();
    void dragModesChangeTheirFields();
    void doubleClickResetsPerspective();
    void wheelZoomsAboutPointer_data();
    void wheelZoomsAboutPointer();
    void wheelWithoutAltIsIgnored();
    void repaintIntervalArithmetic_data();
    void repaintIntervalArithmetic();
    void throttledUpdatesAreDeferred();
    void paintSetsIntervalFromItsDuration();
    void fastDrawSignalCounts();
    void repaintRestoresQualityAndResizeSizesParts();
    void paintingLeavesTheDataAlone();
    void splitPointEchoEnds();
    void subWatchesFollowCrossPoint();
    void createDataStacksAndCopiesSettings();
    void previousDataOfSurfacesIsDropped();
    void badDataDrawsWithoutFailing_data();
    void badDataDrawsWithoutFailing();
};

void TestWatchView::areaRects_data()
{
    QTest::addColumn<WatchAreaFlags>("flags");
    QTest::addColumn<bool>("surface");
    QTest::addColumn<int>("area");
    QTest::addColumn<QRect>("expected");

    const QRect body(QPoint(2, 2), QPoint(296, 246));
    const WatchAreaFlags shown = WatchAreaFlag::Default;
    QTest::newRow("all") << shown << false << int(WatchAreaAll) << QRect(0, 0, 300, 250);
    QTest::newRow("body") << shown << false << int(WatchAreaBody) << body;
    QTest::newRow("text") << shown << false << int(WatchAreaText)
                          << QRect(QPoint(2, 2), QPoint(296, 35));
    QTest::newRow("graph") << shown << false << int(WatchAreaGraph)
                           << QRect(QPoint(42, 36), QPoint(296, 220));
    QTest::newRow("graph without surroundings")
        << WatchAreaFlags(View::AreaButtons | View::AreaIndicator) << false << int(WatchAreaGraph)
        << body;
    QTest::newRow("graph of cube")
        << shown << true << int(WatchAreaGraph) << QRect(QPoint(2, 36), QPoint(296, 246));
    QTest::newRow("scale") << shown << false << int(WatchAreaScale)
                           << QRect(QPoint(2, 36), QPoint(40, 220));
    QTest::newRow("no scale") << (shown & ~View::AreaScale) << false << int(WatchAreaScale)
                              << QRect();
    QTest::newRow("axis") << shown << false << int(WatchAreaAxis)
                          << QRect(QPoint(42, 221), QPoint(296, 246));
    QTest::newRow("axis of cube") << shown << true << int(WatchAreaAxis)
                                  << QRect(QPoint(2, 221), QPoint(296, 246));
    QTest::newRow("no axis") << (shown & ~View::AreaAxis) << false << int(WatchAreaAxis) << QRect();
    QTest::newRow("buttons") << shown << false << int(WatchAreaButtons)
                             << QRect(QPoint(3, 2), QPoint(74, 25));
    QTest::newRow("buttons off") << (shown & ~View::AreaButtons) << false << int(WatchAreaButtons)
                                 << body;
}

void TestWatchView::areaRects()
{
    QFETCH(WatchAreaFlags, flags);
    QFETCH(bool, surface);
    QFETCH(int, area);
    QFETCH(QRect, expected);
    View view;
    view.resize(300, 250);
    view.setButtons(watchButtons);
    view.setAreaFlags(flags);
    if (surface)
        fillSurface(*view.data());
    QCOMPARE(view.areaRect(WatchArea(area)), expected);
}

void TestWatchView::unknownAreaWarns()
{
    View view;
    view.resize(300, 250);
    QTest::ignoreMessage(QtDebugMsg, "Unknown WatchArea value");
    QCOMPARE(view.areaRect(WatchArea(3)), view.areaRect(WatchAreaBody));
}

void TestWatchView::scaleAndAxisValues()
{
    View view;
    view.resize(300, 250);
    view.setText(QStringLiteral("Monthly\nPayment"));
    QVERIFY(std::isnan(view.scaleTop()));
    QVERIFY(std::isnan(view.axisLow()));
    QVERIFY(view.scaleLabel().isEmpty());

    // A constant curve gets a fixed margin around its value.
    MinMaxMultiDimData &data = *view.data();
    data.setDimensions({{3, QStringLiteral("Rate"), 1.0, 2.0}});
    data.setValues({4.0, 4.0, 4.0});
    data.setDataExtractionSettings({{-1}, false});
    QCOMPARE(view.scaleTop(), 4.15);
    QCOMPARE(view.scaleBottom(), 3.85);
    QCOMPARE(view.scaleLabel(), QStringLiteral("Monthly / Payment"));
    QCOMPARE(view.axisLow(), 1.0);
    QCOMPARE(view.axisHigh(), 2.0);
    QCOMPARE(view.axisLabel(), QStringLiteral("Rate"));

    // A varying curve: the scale widens so the curve's 75 % band matches its range.
    data.setValues({0.0, 5.0, 10.0});
    const double height = view.areaRect(WatchAreaGraph).height();
    const double band = std::trunc(0.75 * height) / height;
    QCOMPARE(view.scaleTop(), 10.0 + 10.0 * (1.0 - band) / band * 0.5);
    QCOMPARE(view.scaleBottom(), -10.0 * (1.0 - band) / band * 0.5);

    fillSurface(data);
    QCOMPARE(view.scaleTop(), 40.0);
    QCOMPARE(view.scaleBottom(), 10.0);
    QCOMPARE(view.scaleLabel(), QStringLiteral("Years"));
    QCOMPARE(view.axisLabel(), QStringLiteral("Rate"));
}

void TestWatchView::rangeGivesTextAndClearsData()
{
    View view;
    fillCurve(*view.data());
    auto *range = new VIVExcelRange(std::make_unique<AddressOnlyRange>(QStringLiteral("B7")));
    view.setRange(range);
    QCOMPARE(view.range(), range);
    QCOMPARE(view.text(), QStringLiteral("B7"));
    QCOMPARE(view.data()->graphDepth(), int(GraphDepthNone));
    QVERIFY(std::isnan(view.data()->minimum()));

    // A range that goes away leaves no dangling pointer behind.
    delete range;
    QCOMPARE(view.range(), nullptr);
    view.setRange(nullptr);
    QCOMPARE(view.text(), QStringLiteral("B7"));
}

void TestWatchView::indicatorStripShowsButtonsOnly()
{
    View view;
    view.resize(300, 250);
    view.setButtons(watchButtons);
    QSignalSpy text(&view, &View::textClicked);
    QSignalSpy graph(&view, &View::graphClicked);
    QSignalSpy clicked(&view, &View::buttonClicked);

    press(&view, QPointF(10, 10));
    QVERIFY(view.buttonsVisible());
    QCOMPARE(text.count(), 0);
    QCOMPARE(graph.count(), 0);
    QCOMPARE(clicked.count(), 0);

    // Beyond the strip the hidden row is not there: the press reaches the text.
    View other;
    other.resize(300, 250);
    other.setButtons(watchButtons);
    QSignalSpy otherText(&other, &View::textClicked);
    press(&other, QPointF(40, 10));
    QVERIFY(!other.buttonsVisible());
    QCOMPARE(otherText.count(), 1);
}

void TestWatchView::buttonClickReportsNameAndHides_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<QString>("name");
    // The row spans x 3 .. 74 with button 0 at the right.
    QTest::newRow("rightmost") << 70 << QStringLiteral("close");
    QTest::newRow("right edge of middle") << 50 << QStringLiteral("exportdata");
    QTest::newRow("leftmost") << 4 << QStringLiteral("exportimage");
}

void TestWatchView::buttonClickReportsNameAndHides()
{
    QFETCH(int, x);
    QFETCH(QString, name);
    View view;
    view.resize(300, 250);
    view.setButtons(watchButtons);
    view.setButtonsVisible(true);
    QSignalSpy clicked(&view, &View::buttonClicked);
    QSignalSpy text(&view, &View::textClicked);
    press(&view, QPointF(x, 10));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toString(), name);
    QVERIFY(!view.buttonsVisible());
    QCOMPARE(text.count(), 0);
}

void TestWatchView::hoverPicksButtonAndLeavingHidesRow()
{
    View view;
    view.resize(300, 250);
    view.setButtons(watchButtons);
    view.setButtonsVisible(true);
    // The hover index is taken 8 px further right than the click index.
    hoverTo(&view, QPointF(60, 10));
    QCOMPARE(view.hoveredButton(), 0);
    hoverTo(&view, QPointF(40, 10));
    QCOMPARE(view.hoveredButton(), 1);
    hoverTo(&view, QPointF(4, 10));
    QCOMPARE(view.hoveredButton(), 2);
    hoverTo(&view, QPointF(150, 150));
    QCOMPARE(view.hoveredButton(), -1);
    QTRY_VERIFY(!view.buttonsVisible());

    // The corner shows the indicator while the buttons are hidden.
    hoverTo(&view, QPointF(12, 12));
    QVERIFY(view.mouseOverIndicator());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    QVERIFY(!view.mouseOverIndicator());
}

void TestWatchView::emptyButtonListDrawsNoIndicator()
{
    View view;
    view.resize(300, 250);
    hoverTo(&view, QPointF(12, 12));
    const QImage without = rendered(view);
    press(&view, QPointF(10, 10));
    QVERIFY(!view.buttonsVisible());

    View with;
    with.resize(300, 250);
    with.setButtons(watchButtons);
    hoverTo(&with, QPointF(12, 12));
    const QImage indicated = rendered(with);
    const QRect corner(3, 3, 16, 16);
    QVERIFY(without.copy(corner) != indicated.copy(corner));
}

void TestWatchView::splitPointFromClicksIsClamped_data()
{
    QTest::addColumn<QPointF>("press");
    QTest::addColumn<QPointF>("drag");
    QTest::addColumn<QPointF>("expected");
    // Graph area with text and buttons only: x 2 .. 296 (w 295), y 36 .. 246 (h 211).
    QTest::newRow("inside") << QPointF(150, 100) << QPointF(2 + 59, 246 - 211 * 0.25)
                            << QPointF(59.0 / 295.0, 0.25);
    QTest::newRow("beyond right and top")
        << QPointF(150, 100) << QPointF(400, -50) << QPointF(1.0, 1.0);
    QTest::newRow("beyond left and bottom")
        << QPointF(150, 100) << QPointF(-30, 400) << QPointF(0.0, 0.0);
}

void TestWatchView::splitPointFromClicksIsClamped()
{
    QFETCH(QPointF, press);
    QFETCH(QPointF, drag);
    QFETCH(QPointF, expected);
    View view;
    view.resize(300, 250);
    view.setAreaFlags(View::AreaAll & ~(View::AreaScale | View::AreaAxis));
    fillCurve(*view.data());
    QSignalSpy split(&view, &View::splitChanged);
    WatchTest::press(&view, press);
    QCOMPARE(split.count(), 1);
    dragTo(&view, drag);
    QCOMPARE(view.splitPoint().x(), expected.x());
    QCOMPARE(view.splitPoint().y(), expected.y());
}

void TestWatchView::splitPointNeedsSplitFlags()
{
    View view;
    view.resize(300, 250);
    fillCurve(*view.data());
    QSignalSpy split(&view, &View::splitChanged);
    press(&view, QPointF(100, 100));
    dragTo(&view, QPointF(200, 150));
    QCOMPARE(split.count(), 0);
    QCOMPARE(view.splitPoint(), QPointF(0.5, 0.5));

    // Only the coordinate whose line is shown follows the mouse.
    view.addAreaFlags(View::AreaSplitVertical);
    press(&view, QPointF(view.areaRect(WatchAreaGraph).left(), 100));
    QCOMPARE(view.splitPoint(), QPointF(0.0, 0.5));
}

void TestWatchView::dragModesChangeTheirFields_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<DragMode>("mode");
    QTest::addColumn<QString>("field");

    QTest::newRow("ctrl alt: depth")
        << int(Qt::LeftButton) << int(Qt::ControlModifier | Qt::AltModifier) << DragMode::Depth
        << QStringLiteral("panZ");
    QTest::newRow("ctrl: turn") << int(Qt::LeftButton) << int(Qt::ControlModifier) << DragMode::Turn
                                << QStringLiteral("turn");
    QTest::newRow("right: turn") << int(Qt::RightButton) << int(Qt::NoModifier) << DragMode::Turn
                                 << QStringLiteral("turn");
    QTest::newRow("alt: height") << int(Qt::LeftButton) << int(Qt::AltModifier) << DragMode::Height
                                 << QStringLiteral("height");
    QTest::newRow("shift: pan") << int(Qt::LeftButton) << int(Qt::ShiftModifier) << DragMode::Pan
                                << QStringLiteral("pan");
    QTest::newRow("shift ctrl: pan")
        << int(Qt::LeftButton) << int(Qt::ShiftModifier | Qt::ControlModifier) << DragMode::Pan
        << QStringLiteral("pan");
    QTest::newRow("shift alt: opacity")
        << int(Qt::LeftButton) << int(Qt::ShiftModifier | Qt::AltModifier) << DragMode::Opacity
        << QStringLiteral("opacity");
    QTest::newRow("plain: cross point")
        << int(Qt::LeftButton) << int(Qt::NoModifier) << DragMode::None << QStringLiteral("split");
}

void TestWatchView::dragModesChangeTheirFields()
{
    QFETCH(int, button);
    QFETCH(int, modifiers);
    QFETCH(DragMode, mode);
    QFETCH(QString, field);
    View view;
    view.resize(300, 250);
    fillSurface(*view.data());
    MinMaxMultiDimData &data = *view.data();
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.secondaryOpacity = 0.5;
    data.setDrawSettings3DCube(cube);
    const PerspectiveSettings before = data.perspectiveSettings();
    const QPointF splitBefore = view.splitPoint();
    const QRect graph = view.areaRect(WatchAreaGraph);
    const double w = graph.width();
    const double h = graph.height();

    const QPointF start(150, 120);
    const auto keys = Qt::KeyboardModifiers(modifiers);
    press(&view, start, Qt::MouseButton(button), keys);
    QCOMPARE(view.dragMode(), mode);
    dragTo(&view, start + QPointF(20, -30), Qt::MouseButtons(button), keys);
    const PerspectiveSettings after = data.perspectiveSettings();

    if (field == QLatin1String("panZ"))
        QCOMPARE(after.pan.z(), float(30.0 / w));
    else
        QCOMPARE(after.pan.z(), before.pan.z());
    if (field == QLatin1String("turn")) {
        QCOMPARE(after.yaw, before.yaw + 20.0 / w * 150.0);
        QCOMPARE(after.pitch, before.pitch - 30.0 / h * 150.0);
    } else {
        QCOMPARE(after.yaw, before.yaw);
        QCOMPARE(after.pitch, before.pitch);
    }
    QCOMPARE(after.heightScale,
             field == QLatin1String("height") ? before.heightScale + 30.0 / w : before.heightScale);
    if (field == QLatin1String("pan")) {
        QCOMPARE(after.pan.x(), float(-20.0 / w));
        QCOMPARE(after.pan.y(), float(-30.0 / h));
    } else {
        QCOMPARE(after.pan.x(), 0.0f);
    }
    QCOMPARE(data.drawSettings3DCube().secondaryOpacity,
             field == QLatin1String("opacity") ? 0.8 : 0.5);
    if (field == QLatin1String("split")) {
        QCOMPARE(view.splitPoint().x(), splitBefore.x() + 20.0 / w / before.zoom * 2.0);
        QCOMPARE(view.splitPoint().y(), splitBefore.y() + 30.0 / h / before.zoom * 2.0);
    } else {
        QCOMPARE(view.splitPoint(), splitBefore);
    }
    release(&view, start);
    QCOMPARE(view.dragMode(), DragMode::None);
}

void TestWatchView::doubleClickResetsPerspective()
{
    View view;
    view.resize(300, 250);
    fillSurface(*view.data());
    PerspectiveSettings turned;
    turned.yaw = 75.0;
    turned.zoom = 1.5;
    view.data()->setPerspectiveSettings(turned);
    sendMouse(&view, QEvent::MouseButtonDblClick, QPointF(150, 120), Qt::LeftButton,
              Qt::LeftButton);
    QCOMPARE(view.data()->perspectiveSettings(), PerspectiveSettings());
}

void TestWatchView::wheelZoomsAboutPointer_data()
{
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::addColumn<int>("delta");
    QTest::newRow("centre, in") << 0.5 << 0.5 << 120;
    QTest::newRow("left top, in") << 0.0 << 0.0 << 120;
    QTest::newRow("right bottom, out") << 0.9 << 0.8 << -120;
}

void TestWatchView::wheelZoomsAboutPointer()
{
    QFETCH(double, fx);
    QFETCH(double, fy);
    QFETCH(int, delta);
    View view;
    view.resize(300, 250);
    fillSurface(*view.data());
    PerspectiveSettings start;
    start.pan = QVector3D(0.1f, -0.05f, 0.0f);
    view.data()->setPerspectiveSettings(start);
    QSignalSpy zooming(&view, &View::mouseZoomChanging);
    const QRect graph = view.areaRect(WatchAreaGraph);
    const QPointF at(graph.left() + fx * graph.width(), graph.top() + fy * graph.height());

    QVERIFY(wheel(&view, at, delta, Qt::AltModifier));
    const PerspectiveSettings after = view.data()->perspectiveSettings();
    const double ratio = delta > 0 ? 1.2 : 1.0 / 1.2;
    QCOMPARE(after.zoom, start.zoom * ratio);
    QCOMPARE(zooming.count(), 1);
    // The point under the pointer stays put: pan' = u + r (pan - u).
    const double u = 0.5 - fx;
    const double v = fy - 0.5;
    QCOMPARE(after.pan.x(), float(u + ratio * (start.pan.x() - u)));
    QCOMPARE(after.pan.y(), float(v + ratio * (start.pan.y() - v)));
}

void TestWatchView::wheelWithoutAltIsIgnored()
{
    View view;
    view.resize(300, 250);
    fillSurface(*view.data());
    QSignalSpy wheelEvents(&view, &View::mouseWheelEvent);
    QVERIFY(!wheel(&view, QPointF(150, 120), 120, Qt::NoModifier));
    QCOMPARE(view.data()->perspectiveSettings(), PerspectiveSettings());
    QCOMPARE(wheelEvents.count(), 1);

    // At the zoom limit nothing changes and no zoom is announced.
    PerspectiveSettings limit;
    limit.zoom = 2.0;
    view.data()->setPerspectiveSettings(limit);
    QSignalSpy zooming(&view, &View::mouseZoomChanging);
    QVERIFY(wheel(&view, QPointF(150, 120), 120, Qt::AltModifier));
    QCOMPARE(zooming.count(), 0);
    QCOMPARE(view.data()->perspectiveSettings(), limit);

    View curve;
    curve.resize(300, 250);
    fillCurve(*curve.data());
    QVERIFY(!wheel(&curve, QPointF(150, 120), 120, Qt::AltModifier));
}

void TestWatchView::repaintIntervalArithmetic_data()
{
    QTest::addColumn<qint64>("paintMs");
    QTest::addColumn<double>("factor");
    QTest::addColumn<qint64>("interval");
    QTest::newRow("unmeasurable paint") << qint64(0) << 1.5 << qint64(38);
    QTest::newRow("10 ms") << qint64(10) << 1.5 << qint64(35);
    QTest::newRow("slow paint") << qint64(200) << 1.5 << qint64(320);
    QTest::newRow("three watches dragging") << qint64(30) << 1.5 * 1.5 * 3 << qint64(222);
}

void TestWatchView::repaintIntervalArithmetic()
{
    QFETCH(qint64, paintMs);
    QFETCH(double, factor);
    QFETCH(qint64, interval);
    QCOMPARE(View::repaintIntervalFor(paintMs, factor), interval);
}

void TestWatchView::throttledUpdatesAreDeferred()
{
    View view;
    view.resize(300, 250);
    QCOMPARE(view.minRepaintInterval(), qint64(0));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PaintCounter paints(&view);

    // Within the interval every update waits for the timer, however many arrive.
    view.setMinRepaintInterval(100000);
    view.restartRepaintClock();
    for (int i = 0; i < 50; ++i)
        view.update();
    QVERIFY(view.isRepaintPending());
    QCoreApplication::processEvents();
    QCOMPARE(paints.count, 0);

    // A forced update paints at once and drops the pending one.
    view.update(true);
    QCOMPARE(paints.count, 1);
    QVERIFY(!view.isRepaintPending());

    // A short interval lets the deferred update through once the timer fires.
    view.setMinRepaintInterval(5);
    view.restartRepaintClock();
    const int before = paints.count;
    view.update();
    QVERIFY(view.isRepaintPending());
    QTRY_VERIFY(paints.count > before);
}

void TestWatchView::paintSetsIntervalFromItsDuration()
{
    View view;
    view.resize(300, 250);
    fillCurve(*view.data());
    view.setRepaintFactor(2.0);
    rendered(view);
    QVERIFY(view.paintDuration() > 0);
    QCOMPARE(view.minRepaintInterval(), View::repaintIntervalFor(view.paintDuration(), 2.0));
}

void TestWatchView::fastDrawSignalCounts()
{
    View view;
    QSignalSpy changed(&view, &View::canUseFastDrawChanged);
    view.setCanUseFastDraw(true);
    QVERIFY(view.data()->dataExtractionSettings().fastExtraction);
    view.setCanUseFastDraw(true);
    view.setCanUseFastDraw(false);
    view.setCanUseFastDraw(false);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed.at(0).at(0).toBool(), true);
    QCOMPARE(changed.at(1).at(0).toBool(), false);
    QCOMPARE(changed.at(2).at(0).toBool(), false);
    QCOMPARE(view.fastDrawCount(), 0);

    // An extra release does not leave a debt that swallows the next press.
    view.setCanUseFastDraw(false);
    view.setCanUseFastDraw(true);
    QCOMPARE(view.fastDrawCount(), 1);
}

void TestWatchView::repaintRestoresQualityAndResizeSizesParts()
{
    View view;
    View subX;
    view.setMinimumSize(300, 250);
    view.setSubWatchX(&subX);
    view.setSubWatchMargin(2);
    QCOMPARE(subX.minimumSize(), QSize(149, 124));
    QCOMPARE(subX.maximumSize(), QSize(447, 372));

    // Without fast drawing a cube is drawn at full quality again.
    MinMaxMultiDimData &data = *view.data();
    fillSurface(data);
    data.setDataExtractionSettings({{-1, -1}, true});
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.fastDraw = true;
    cube.noAntialiasing = true;
    data.setDrawSettings3DCube(cube);
    view.resize(300, 250);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.update(true);
    QVERIFY(!data.dataExtractionSettings().fastExtraction);
    QVERIFY(!data.drawSettings3DCube().fastDraw);
    QVERIFY(!data.drawSettings3DCube().noAntialiasing);
    QCOMPARE(data.drawSettings3DCube().imageSize, view.areaRect(WatchAreaGraph).size());

    // A rolling trace at 2 px spacing fills the graph's width.
    QCOMPARE(data.historyLimit(), view.areaRect(WatchAreaGraph).width() / 2);
}

// Painting only reads the data: the cube's quality and image size are settled before a repaint
// is asked for, and settings handed over from a watch of another size keep this one's size.
void TestWatchView::paintingLeavesTheDataAlone()
{
    View view;
    view.resize(300, 250);
    MinMaxMultiDimData &data = *view.data();
    fillSurface(data);
    rendered(view);
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.noAntialiasing = true;
    {
        const QSignalBlocker blocker(data);
        data.setDrawSettings3DCube(cube);
    }
    const DataExtractionSettings extraction = data.dataExtractionSettings();
    QSignalSpy changed(&data, &MinMaxMultiDimData::changed);
    rendered(view);
    QCOMPARE(data.drawSettings3DCube(), cube);
    QCOMPARE(data.dataExtractionSettings(), extraction);
    QCOMPARE(changed.count(), 0);

    View other;
    other.resize(200, 400);
    fillSurface(*other.data());
    rendered(other);
    data.setDrawSettings3DCube(other.data()->drawSettings3DCube());
    QCOMPARE(data.drawSettings3DCube().imageSize, view.areaRect(WatchAreaGraph).size());
}

void TestWatchView::splitPointEchoEnds()
{
    View view;
    View subX;
    View subY;
    fillSurface(*view.data());
    view.setSubWatchX(&subX);
    view.setSubWatchY(&subY);
    QSignalSpy split(&view, &View::splitChanged);
    QSignalSpy splitY(&subY, &View::splitChanged);

    view.setSplitPoint(QPointF(0.25, 0.75));
    QCOMPARE(split.count(), 1);
    QCOMPARE(subX.splitPoint(), QPointF(0.25, 0.75));
    QCOMPARE(subY.splitPoint(), QPointF(0.75, 0.25));
    QCOMPARE(splitY.count(), 1);

    view.setSplitPoint(QPointF(0.25 + 1e-13, 0.75 - 1e-13));
    QCOMPARE(split.count(), 1);
    QCOMPARE(view.splitPoint(), QPointF(0.25, 0.75));

    // A move on a sub watch comes back once, swapped for the second one.
    subY.setSplitPoint(QPointF(0.5, 0.25));
    QCOMPARE(view.splitPoint(), QPointF(0.25, 0.5));
    QCOMPARE(split.count(), 2);

    QTest::ignoreMessage(QtDebugMsg, "A watch cannot be its own sub watch");
    view.setSubWatchX(&view);
    QCOMPARE(view.subWatchX(), &subX);

    QTest::ignoreMessage(QtDebugMsg, "Invalid split point QPointF(nan,0.5)");
    view.setSplitPoint(QPointF(qQNaN(), 0.5));
    QCOMPARE(split.count(), 2);
}

void TestWatchView::subWatchesFollowCrossPoint()
{
    View view;
    View subX;
    View subY;
    fillSurface(*view.data(), 5, 4);
    view.setSubWatchX(&subX);
    view.setSubWatchY(&subY);
    QSignalSpy crossChanged(&view, &View::crossPointValueChanged);

    // Column round(4 x 0.75) = 3, row round(3 x 1/3) = 1.
    view.setSplitPoint(QPointF(0.75, 1.0 / 3.0));
    QCOMPARE(view.crossPointIndex(view.splitPoint()), QPoint(3, 1));
    QTRY_VERIFY(crossChanged.count() > 0);
    QCOMPARE(view.crossPointValue(), surfaceValue(3, 1));
    QCOMPARE(view.data()->drawSettings3DCube().highlightColumn, 3);
    QCOMPARE(view.data()->drawSettings3DCube().highlightRow, 1);

    const MinMaxMultiDimData *cutX = subX.data();
    QCOMPARE(cutX->dataExtractionSettings().indices, QList<int>({-1, 1}));
    QCOMPARE(cutX->graphDepth(), int(GraphDepthCurve));
    QCOMPARE(cutX->extractValues({-1, 1}),
             QList<double>({surfaceValue(0, 1), surfaceValue(1, 1), surfaceValue(2, 1),
                            surfaceValue(3, 1), surfaceValue(4, 1)}));
    QCOMPARE(cutX->minimum(), view.data()->minimum());
    QCOMPARE(cutX->maximum(), view.data()->maximum());
    const MinMaxMultiDimData *cutY = subY.data();
    QCOMPARE(cutY->dataExtractionSettings().indices, QList<int>({3, -1}));

    // Flat maps pick the cell under the point instead of the nearest grid line.
    view.data()->setFlat3D(true);
    QCOMPARE(view.crossPointIndex(QPointF(0.75, 1.0)), QPoint(3, 3));
    QCOMPARE(view.crossPointIndex(QPointF(0.0, 0.0)), QPoint(0, 0));

    View curve;
    fillCurve(*curve.data());
    QCOMPARE(curve.crossPointIndex(QPointF(0.5, 0.5)), QPoint(-1, -1));
}

void TestWatchView::createDataStacksAndCopiesSettings()
{
    View view;
    QSignalSpy created(&view, &View::dataCreated);
    MinMaxMultiDimData *first = view.data();
    fillCurve(*first);
    PerspectiveSettings perspective;
    perspective.yaw = 12.0;
    first->setPerspectiveSettings(perspective);
    first->setFlat3D(true);

    view.createData();
    QCOMPARE(created.count(), 1);
    QVERIFY(view.data() != first);
    QCOMPARE(view.previousData(), QList<MinMaxMultiDimData *>({first}));
    QVERIFY(first->signalsBlocked());
    QVERIFY(first->property("stackingdate").toDateTime().isValid());
    MinMaxMultiDimData *second = view.data();
    QCOMPARE(second->perspectiveSettings(), perspective);
    QCOMPARE(second->dimensions(), first->dimensions());
    QCOMPARE(second->dataExtractionSettings(), first->dataExtractionSettings());
    QVERIFY(second->flat3D());
    QCOMPARE(second->minimum(), first->minimum());

    // Old curves share the new range and fade while they are drawn.
    second->setMinMax(-100.0, 100.0);
    QCOMPARE(first->minimum(), -100.0);
    second->setFlat3D(false);
    view.resize(300, 250);
    first->setProperty("stackingdate", QDateTime::currentDateTime().addMSecs(-250));
    rendered(view);
    QVERIFY(std::abs(first->drawSettings2D().opacity - 0.5) < 0.1);

    view.clearPreviousData();
    QVERIFY(view.previousData().isEmpty());

    // Faded curves of a view that is never painted still go.
    view.createData();
    QCOMPARE(view.previousData().size(), 1);
    QTRY_VERIFY(view.previousData().isEmpty());
}

void TestWatchView::previousDataOfSurfacesIsDropped()
{
    View view;
    view.resize(300, 250);
    fillSurface(*view.data());
    view.createData();
    QCOMPARE(view.previousData().size(), 1);
    rendered(view);
    QTRY_VERIFY(view.previousData().isEmpty());
}

void TestWatchView::badDataDrawsWithoutFailing_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("no data") << 0;
    QTest::newRow("dimensions without values") << 1;
    QTest::newRow("all NaN") << 2;
    QTest::newRow("zero size") << 3;
    QTest::newRow("one-point surface") << 4;
}

void TestWatchView::badDataDrawsWithoutFailing()
{
    QFETCH(int, kind);
    View view;
    view.resize(kind == 3 ? QSize(0, 0) : QSize(200, 190));
    view.setButtons({});
    view.setButtonsVisible(true);
    MinMaxMultiDimData &data = *view.data();
    if (kind == 1)
        data.setDimensions({{4, QString(), 0.0, 1.0}});
    if (kind == 2) {
        data.setDimensions({{3, QString(), 0.0, 1.0}, {3, QString(), 0.0, 1.0}});
        data.setDataExtractionSettings({{-1, -1}, false});
    }
    if (kind == 4) {
        data.setDimensions({{1, QString(), 0.0, 1.0}, {1, QString(), 0.0, 1.0}});
        data.setValues({2.0});
        data.setDataExtractionSettings({{-1, -1}, false});
    }
    View subX;
    view.setSubWatchX(&subX);
    view.setSplitPoint(QPointF(1.0, 1.0));
    const QImage image = rendered(view);
    QCOMPARE(image.isNull(), view.width() == 0);
    press(&view, QPointF(5, 5));
    dragTo(&view, QPointF(50, 50));
    wheel(&view, QPointF(20, 20), 120, Qt::AltModifier);
    QVERIFY(!view.buttonsVisible() || view.buttons().isEmpty());
}

QTEST_MAIN(TestWatchView)
#include "tst_vivexcelwatchview.moc"
