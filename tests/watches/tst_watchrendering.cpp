#include "graph/minmaxmultidimdata.h"
#include "pixelcount.h"
#include "watches/vivexcelwatchscale.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchaxes.h"
#include "watches/watchwindow.h"
#include "watchtesthelpers.h"
#include "widgets/imagecache.h"

#include <QCheckBox>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

using namespace WatchTest;
using View = VIVExcelWatchView;

namespace {

// Pictures go beside the test program, to be looked at.
QString picturePath(const QString &name)
{
    QDir dir(QCoreApplication::applicationDirPath());
    dir.mkpath(QStringLiteral("renderings"));
    return dir.filePath(QStringLiteral("renderings/") + name);
}

QImage renderedAndSaved(QWidget &widget, const QString &name)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    widget.render(&image);
    image.save(picturePath(name));
    return image;
}

bool isCurveColour(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) > 180 && qBlue(pixel) < 90;
}

bool isGraphGround(QRgb pixel)
{
    return pixel == 0xFF180100;
}

bool isBrightColour(QRgb pixel)
{
    return qMax(qRed(pixel), qMax(qGreen(pixel), qBlue(pixel))) > 120;
}

// A watch body of the hill, shown as a colour map or as a cube and cut at one point.
void showHill(View &view, bool flat3D)
{
    view.resize(330, 300);
    view.setText(QStringLiteral("B9 Total interest"));
    view.setAreaFlags(allAreasBut(View::AreaText));
    fillHill(*view.data());
    view.data()->setFlat3D(flat3D);
    view.setSplitPoint(QPointF(0.4, 0.6));
}

// A watch as the registry builds it: the view, its two cuts, its colour scale and its title in
// one container of the watch window.
struct WatchContainer
{
    QWidget *container = nullptr;
    View *watch = nullptr;
    View *subX = nullptr;
    View *subY = nullptr;
    VIVExcelWatchScale *scale = nullptr;
};

WatchContainer makeWatch(WatchWindow &window, const QString &title, bool surface)
{
    WatchContainer made;
    made.container = new QWidget;
    auto *grid = new QGridLayout(made.container);
    grid->setSpacing(surface ? 2 : 0);
    grid->setContentsMargins(0, 0, 0, 0);
    made.watch = new View(made.container);
    made.watch->setText(title);
    if (surface)
        fillHill(*made.watch->data());
    else
        fillCurve(*made.watch->data());
    grid->addWidget(made.watch, 1, 0, 2, 1);
    made.subX = new View(made.container);
    made.subY = new View(made.container);
    for (View *sub : {made.subX, made.subY}) {
        sub->setTextHeight(sub->textHeight() / 2);
        sub->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        sub->setAreaFlags(allAreasBut(View::AreaText | View::AreaSplitHorizontal));
        sub->setVisible(surface);
    }
    made.watch->setSubWatchX(made.subX);
    made.watch->setSubWatchY(made.subY);
    grid->addWidget(made.subX, 1, 2);
    grid->addWidget(made.subY, 2, 2, Qt::AlignBottom);
    made.watch->setSubWatchMargin(grid->spacing());
    made.scale = new VIVExcelWatchScale(made.container);
    made.scale->setFixedWidth(44);
    made.scale->setContentsMargins(0, 3, 0, 24);
    made.scale->setWatchView(made.watch);
    made.scale->setVisible(surface);
    grid->addWidget(made.scale, 1, 1, 2, 1);
    auto *label = new QLabel(title, made.container);
    label->setStyleSheet(
        QStringLiteral("color:white; font-weight:bold; text-align:center; border: none"));
    grid->addWidget(label, 0, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(1, 0);
    grid->setColumnStretch(0, 2);
    if (!surface)
        grid->setAlignment(Qt::AlignCenter);

    const WatchAreaFlags hidden =
        surface ? WatchAreaFlags(View::AreaText) : (View::AreaSplit | View::AreaText);
    made.watch->setAreaFlags(allAreasBut(hidden));
    made.watch->setButtons(watchButtons);
    const int size = 2 * 120 + 50;
    made.watch->setFixedSize(size + made.watch->scaleWidth(), size + made.watch->axisHeight());

    control<QVBoxLayout>(window, "verticalLayout_2")->setSpacing(16);
    window.addToContents(made.container);
    window.addWatch(made.watch);
    return made;
}

} // namespace

class TestWatchRendering : public QObject
{
    Q_OBJECT

private slots:
    void curveWatch();
    void colourMapWatch();
    void surfaceWatch();
    void watchWindowWithCurveAndSurface();
    void labelWiderThanAxisStartsAtItsLeftEdge();
    void longTitleKeepsItsStart();
    void tickLabelsTellNeighboursApart_data();
    void tickLabelsTellNeighboursApart();
    void scaleLabelsFitTheirWidth_data();
    void scaleLabelsFitTheirWidth();
};

void TestWatchRendering::curveWatch()
{
    View view;
    view.resize(330, 260);
    view.setText(QStringLiteral("B7 Monthly payment"));
    view.setButtons(watchButtons);
    view.setAreaFlags(allAreasBut(View::AreaSplitHorizontal));
    fillCurve(*view.data());
    view.setSplitPoint(QPointF(0.3, 0.5));
    const QImage image = renderedAndSaved(view, QStringLiteral("watch-curve.png"));
    const QRect graph = view.areaRect(WatchAreaGraph);
    QVERIFY(countPixels(image, isCurveColour, graph) > graph.width() / 2);
    QVERIFY(isGraphGround(image.pixel(graph.left() + 2, graph.top() + 2)));
    // The scale and the axis carry labels on the same dark ground.
    QVERIFY(countPixels(image, isBrightColour, view.areaRect(WatchAreaScale)) > 20);
    QVERIFY(countPixels(image, isBrightColour, view.areaRect(WatchAreaAxis)) > 20);
}

void TestWatchRendering::colourMapWatch()
{
    View view;
    showHill(view, true);
    const QImage image = renderedAndSaved(view, QStringLiteral("watch-colourmap.png"));
    const QRect graph = view.areaRect(WatchAreaGraph);
    QVERIFY(countPixels(image, isGraphGround, graph) < graph.width());
    QVERIFY(countPixels(image, isBrightColour, view.areaRect(WatchAreaAxis)) > 20);
}

void TestWatchRendering::surfaceWatch()
{
    View view;
    showHill(view, false);
    renderedAndSaved(view, QStringLiteral("watch-surface.png"));
    // The cube is drawn into the whole body; its cached picture has the body's size.
    const QImage image = renderedAndSaved(view, QStringLiteral("watch-surface.png"));
    const QRect graph = view.areaRect(WatchAreaGraph);
    QCOMPARE(view.data()->drawSettings3DCube().imageSize, graph.size());
    QVERIFY(countPixels(image, isBrightColour, graph) > graph.width() * 5);
}

void TestWatchRendering::watchWindowWithCurveAndSurface()
{
    WatchWindow window;
    window.setWindowTitle(QStringLiteral("Watches"));
    // The chrome handler and the main window give the window its steel plate and styles.
    QPalette palette = window.palette();
    palette.setBrush(QPalette::Window, QBrush(*cachedImage(":resources/stainless-steel.jpg")));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    control<QPushButton>(window, "pushButton_newWatchWindow")->hide();
    control<QCheckBox>(window, "checkBox_useNormalAveraged")->hide();
    control<QCheckBox>(window, "checkBox_useTriangleRects")->hide();

    const WatchContainer curve = makeWatch(window, QStringLiteral("Monthly payment"), false);
    const WatchContainer surface = makeWatch(window, QStringLiteral("Total interest"), true);
    window.setFlat3D(true);
    window.checkWidgetDisplay();
    window.setGeometry(40, 40, 620, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The owner forwards a watch's change of graph kind to the window's width check.
    QObject::connect(surface.watch, &View::graphDepthChanged, &window, &WatchWindow::checkResize);
    emit surface.watch->graphDepthChanged();
    QTRY_VERIFY(!window.isResizePending());
    surface.watch->setSplitPoint(QPointF(0.35, 0.55));
    QTRY_VERIFY(!surface.subX->data()->values().isEmpty());

    const QImage shot = window.grab().toImage();
    shot.save(picturePath(QStringLiteral("watchwindow-flat3d.png")));
    QVERIFY(surface.scale->isVisible());
    QVERIFY(!curve.scale->isVisible());
    QCOMPARE(surface.subX->data()->graphDepth(), int(GraphDepthCurve));
    QCOMPARE(surface.subY->data()->graphDepth(), int(GraphDepthCurve));
    const QRect cut(surface.subX->mapTo(&window, QPoint(0, 0)), surface.subX->size());
    QVERIFY(countPixels(shot, isCurveColour, cut) > 20);

    window.setFlat3D(false);
    window.grab().toImage().save(picturePath(QStringLiteral("watchwindow-cube.png")));
    QVERIFY(!surface.scale->isVisible());
}

// A tick label wider than a narrow axis starts at the axis's left edge, just as it does on a
// wide axis where it fits: its first digits stay in view.
void TestWatchRendering::labelWiderThanAxisStartsAtItsLeftEdge()
{
    QFont font;
    font.setPixelSize(9);
    const int narrowWidth = QFontMetrics(font).horizontalAdvance(QStringLiteral("1.234e+05")) - 4;
    const auto labelRows = [narrowWidth](int width, double high) {
        const QRect graph(0, 0, width, 60);
        const QRect axis(0, 61, width, 25);
        QImage image(axis.right() + 1, axis.bottom() + 1, QImage::Format_ARGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        // The label in view is the tick 123400, at the left end of both axes.
        drawParameterAxis(painter, axis, graph, 123400.0, high, QString());
        painter.end();
        return image.copy(QRect(0, axis.top() + 4, narrowWidth, axis.height() - 4));
    };
    const QImage narrow = labelRows(narrowWidth, 123400.3);
    const QImage wide = labelRows(201, 124200.0);
    QVERIFY(countPixels(narrow, isBrightColour, narrow.rect()) > 0);
    QCOMPARE(narrow, wide);
}

// A title wider than a slider's small display shows its first letters: whatever follows, the
// left end of the title strip looks the same.
void TestWatchRendering::longTitleKeepsItsStart()
{
    auto titleStart = [](const QString &text) {
        View view;
        view.resize(84, 60);
        view.setText(text);
        QImage image(view.size(), QImage::Format_ARGB32);
        view.render(&image);
        const QRect strip = view.areaRect(WatchAreaText);
        return image.copy(QRect(strip.topLeft(), QSize(24, strip.height())));
    };
    const QImage shorter = titleStart(QStringLiteral("Launch angle (degrees)"));
    QCOMPARE(titleStart(QStringLiteral("Launch angle (degrees) above the ground")), shorter);
    QVERIFY(countPixels(shorter, isBrightColour, shorter.rect()) > 0);
}

void TestWatchRendering::tickLabelsTellNeighboursApart_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("text");
    QTest::newRow("a round scale keeps four digits") << 2000.0 << 500.0 << "2000";
    QTest::newRow("small values") << 0.15 << 0.05 << "0.15";
    QTest::newRow("a flat curve around a large value") << 1073.55 << 0.05 << "1073.55";
    QTest::newRow("large values in fine steps") << 123400.0 << 0.5 << "123400";
    QTest::newRow("rounding's -0") << -1e-15 << 0.1 << "0";
}

// A flat curve's scale spans a few tenths around its value; four digits would write the same
// number at every tick.
void TestWatchRendering::tickLabelsTellNeighboursApart()
{
    QFETCH(double, value);
    QFETCH(double, step);
    QFETCH(QString, text);
    QCOMPARE(watchTickText(value, step), text);
}

void TestWatchRendering::scaleLabelsFitTheirWidth_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("room");
    QTest::addColumn<QString>("text");
    QTest::newRow("room for every digit") << 1073.55 << 0.05 << "1073.55"
                                          << "1073.55";
    QTest::newRow("the short form") << 1073.55 << 0.05 << "1074"
                                    << "1074";
    QTest::newRow("a large value") << 1e5 << 2e4 << "1e+05"
                                   << "1e+05";
    QTest::newRow("a compact exponent") << 1e5 << 2e4 << "1e5"
                                        << "1e5";
    QTest::newRow("a small value") << 2.5e-7 << 5e-8 << "2.5e-7"
                                   << "2.5e-7";
}

// A cross-section's scale is narrow; a label cut at its left would read "e+05" for "1e+05".
void TestWatchRendering::scaleLabelsFitTheirWidth()
{
    QFETCH(double, value);
    QFETCH(double, step);
    QFETCH(QString, room);
    QFETCH(QString, text);
    QFont font;
    font.setPixelSize(9);
    const QFontMetrics metrics(font);
    QCOMPARE(scaleTickText(value, step, metrics.horizontalAdvance(room), metrics), text);
}

QTEST_MAIN(TestWatchRendering)
#include "tst_watchrendering.moc"
