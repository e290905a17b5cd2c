#include "watches/watchwindow.h"

#include "watches/clearplacement.h"

#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchscale.h"
#include "watches/vivexcelwatchview.h"
#include "watchtesthelpers.h"

#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using namespace WatchTest;

class TestWatchWindow : public QObject
{
    Q_OBJECT

private slots:
    void formMatchesItsTable_data();
    void formMatchesItsTable();
    void slidersHaveTheirRanges();
    void addingAppliesAlphaAndFlat3D();
    void lastWatchGoneEmitsOnce();
    void flat3DTogglesControlsAndScales();
    void transparencyRunsFromZeroToOne();
    void settingsReachEveryWatch();
    void sliderDragsUseFastDraw();
    void sizeSliderAnnouncesSize();
    void widthFollowsReferenceWatch();
    void positionIsCorrectedAtRightEdge_data();
    void positionIsCorrectedAtRightEdge();
    void placeLeavesTheNeighbourUncovered_data();
    void placeLeavesTheNeighbourUncovered();
    void windowKeepsClearOfItsNeighbour();
};

void TestWatchWindow::formMatchesItsTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::newRow("averaged normals") << "checkBox_useNormalAveraged"
                                      << "QCheckBox"
                                      << "Averaged Normals";
    QTest::newRow("triangle rects") << "checkBox_useTriangleRects"
                                    << "QCheckBox"
                                    << "Triangle Rects";
    QTest::newRow("new") << "pushButton_newWatchWindow"
                         << "QPushButton"
                         << "New";
    QTest::newRow("show points") << "checkBox_DrawPoints"
                                 << "QCheckBox"
                                 << "Show Points";
    QTest::newRow("flat") << "checkBox_Flat3DGraph"
                          << "QCheckBox"
                          << "Flat 3D";
    QTest::newRow("transparency") << "label_Transparency"
                                  << "QLabel"
                                  << "Transparency";
    QTest::newRow("smooth") << "checkBox_SmoothGraphs"
                            << "QCheckBox"
                            << "Smooth";
    QTest::newRow("small graph") << "label"
                                 << "QLabel"
                                 << "";
    QTest::newRow("big graph") << "label_2"
                               << "QLabel"
                               << "";
    QTest::newRow("size row") << "widget_3"
                              << "QWidget"
                              << "";
    QTest::newRow("holder") << "widget_2"
                            << "QWidget"
                            << "";
    QTest::newRow("3D settings") << "widget_3DGraphSettings"
                                 << "QWidget"
                                 << "";
    QTest::newRow("scroll area") << "scrollArea"
                                 << "QScrollArea"
                                 << "";
    QTest::newRow("contents") << "scrollAreaWidgetContents"
                              << "QWidget"
                              << "";
    QTest::newRow("last item") << "widget"
                               << "QWidget"
                               << "";
}

void TestWatchWindow::formMatchesItsTable()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);
    WatchWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Dialog"));
    QWidget *widget = window.findChild<QWidget *>(name);
    QVERIFY(widget);
    QVERIFY(widget->inherits(className.toLatin1().constData()));
    const QVariant shown = widget->property("text");
    if (shown.isValid())
        QCOMPARE(shown.toString(), text);
}

void TestWatchWindow::slidersHaveTheirRanges()
{
    WatchWindow window;
    const QSlider *size = control<QSlider>(window, "horizontalSlider_watchSize");
    const QSlider *alpha = control<QSlider>(window, "horizontalSlider_watchGraphAlpha");
    const QScrollArea *scrollArea = control<QScrollArea>(window, "scrollArea");
    QCOMPARE(size->minimum(), 40);
    QCOMPARE(size->maximum(), 400);
    QCOMPARE(size->value(), 100);
    QCOMPARE(size->toolTip(), QStringLiteral("Graph size"));
    QCOMPARE(alpha->minimum(), 10);
    QCOMPARE(alpha->maximum(), 255);
    QCOMPARE(alpha->value(), 80);
    QVERIFY(alpha->invertedAppearance());
    QVERIFY(control<QCheckBox>(window, "checkBox_SmoothGraphs")->isHidden());
    QVERIFY(scrollArea->widgetResizable());
    QCOMPARE(scrollArea->frameShape(), QFrame::NoFrame);
    QCOMPARE(scrollArea->palette().brush(QPalette::Inactive, QPalette::Window).color(),
             QColor(Qt::transparent));
    QVERIFY(!control<QLabel>(window, "label")->pixmap().isNull());
    QCOMPARE(window.targetWidth(), 100);
}

void TestWatchWindow::addingAppliesAlphaAndFlat3D()
{
    WatchWindow window;
    window.setFlat3D(true);
    auto *watch = new VIVExcelWatchView;
    window.addToContents(watch);
    window.addWatch(watch);
    QCOMPARE(window.watches(), QList<VIVExcelWatchView *>({watch}));
    QCOMPARE(watch->data()->drawSettings3DCube().opacity, 70.0 / 245.0);
    QVERIFY(watch->data()->flat3D());
}

void TestWatchWindow::lastWatchGoneEmitsOnce()
{
    WatchWindow window;
    QSignalSpy emptied(&window, &WatchWindow::watchesEmptied);
    auto *first = new VIVExcelWatchView;
    auto *second = new VIVExcelWatchView;
    window.addWatch(first);
    window.addWatch(second);
    delete first;
    QCOMPARE(emptied.count(), 0);
    QCOMPARE(window.watches().size(), 1);
    delete second;
    QCOMPARE(emptied.count(), 1);

    // A stranger's destruction is none of the window's business.
    QObject stranger;
    window.watchDestroyed(&stranger);
    QCOMPARE(emptied.count(), 1);
}

void TestWatchWindow::flat3DTogglesControlsAndScales()
{
    WatchWindow window;
    const QCheckBox *smooth = control<QCheckBox>(window, "checkBox_SmoothGraphs");
    const QCheckBox *points = control<QCheckBox>(window, "checkBox_DrawPoints");
    const QSlider *alpha = control<QSlider>(window, "horizontalSlider_watchGraphAlpha");
    const QLabel *transparency = control<QLabel>(window, "label_Transparency");
    VIVExcelWatchView watch;
    VIVExcelWatchScale scale;
    fillSurface(*watch.data());
    watch.setWatchScale(&scale);
    DrawSettings3DFlat flat;
    flat.smooth = false;
    watch.data()->setDrawSettings3DFlat(flat);
    window.addWatch(&watch);

    window.setFlat3D(true);
    QVERIFY(watch.data()->flat3D());
    QVERIFY(!scale.isHidden());
    QVERIFY(!smooth->isHidden());
    QVERIFY(!window.smoothGraphs());
    QVERIFY(points->isHidden());
    QVERIFY(alpha->isHidden());
    QVERIFY(transparency->isHidden());
    QVERIFY(!points->isEnabled());
    QVERIFY(!alpha->isEnabled());
    QVERIFY(!transparency->isEnabled());
    // Showing the watch's state changed no watch.
    QVERIFY(watch.data()->drawSettings3DCube().smooth);

    window.setFlat3D(false);
    QVERIFY(!watch.data()->flat3D());
    QVERIFY(scale.isHidden());
    QVERIFY(smooth->isHidden());
    QVERIFY(window.smoothGraphs());
    QVERIFY(!points->isHidden());
    QVERIFY(points->isEnabled());
    QVERIFY(alpha->isEnabled());
    QVERIFY(transparency->isEnabled());
    window.watchDestroyed(&watch);
}

void TestWatchWindow::transparencyRunsFromZeroToOne()
{
    WatchWindow window;
    VIVExcelWatchView watch;
    window.addWatch(&watch);
    QSlider *slider = control<QSlider>(window, "horizontalSlider_watchGraphAlpha");
    slider->setValue(slider->minimum());
    QCOMPARE(watch.data()->drawSettings3DCube().opacity, 0.0);
    slider->setValue(slider->maximum());
    QCOMPARE(watch.data()->drawSettings3DCube().opacity, 1.0);
    window.applyGraphAlpha(&watch, 0.25);
    QCOMPARE(watch.data()->drawSettings3DCube().opacity, 0.25);
    window.applyGraphAlpha(nullptr, 0.5);
    window.watchDestroyed(&watch);
}

void TestWatchWindow::settingsReachEveryWatch()
{
    WatchWindow window;
    VIVExcelWatchView surface;
    VIVExcelWatchView curve;
    fillSurface(*surface.data());
    fillCurve(*curve.data());
    window.addWatch(&surface);
    window.addWatch(&curve);

    window.setShowsPoints(false);
    control<QCheckBox>(window, "checkBox_useNormalAveraged")->setChecked(false);
    control<QCheckBox>(window, "checkBox_useTriangleRects")->setChecked(false);
    for (VIVExcelWatchView *watch : {&surface, &curve}) {
        const DrawSettings3DCube cube = watch->data()->drawSettings3DCube();
        QVERIFY(!cube.showPoints);
        QVERIFY(!cube.averagedNormals);
        QVERIFY(!cube.triangleRects);
    }

    // Smooth reaches surfaces only: the cube while it is drawn as one, the flat map otherwise.
    window.setSmoothGraphs(false);
    QVERIFY(!surface.data()->drawSettings3DCube().smooth);
    QVERIFY(curve.data()->drawSettings3DCube().smooth);
    surface.data()->setFlat3D(true);
    window.setSmoothGraphs(true);
    QVERIFY(surface.data()->drawSettings3DFlat().smooth);
    QVERIFY(!surface.data()->drawSettings3DCube().smooth);
    window.watchDestroyed(&surface);
    window.watchDestroyed(&curve);
}

void TestWatchWindow::sliderDragsUseFastDraw()
{
    WatchWindow window;
    VIVExcelWatchView watch;
    window.addWatch(&watch);
    QSignalSpy fast(&watch, &VIVExcelWatchView::canUseFastDrawChanged);
    for (QSlider *slider : {control<QSlider>(window, "horizontalSlider_watchSize"),
                            control<QSlider>(window, "horizontalSlider_watchGraphAlpha")}) {
        emit slider->sliderPressed();
        QCOMPARE(watch.fastDrawCount(), 1);
        emit slider->sliderReleased();
        QCOMPARE(watch.fastDrawCount(), 0);
    }
    QCOMPARE(fast.count(), 4);
    window.watchDestroyed(&watch);
}

void TestWatchWindow::sizeSliderAnnouncesSize()
{
    WatchWindow window;
    QSignalSpy size(&window, &WatchWindow::newWatchSize);
    window.setWatchSize(150);
    QCOMPARE(size.count(), 1);
    QCOMPARE(size.at(0).at(0).toInt(), 150);
}

void TestWatchWindow::widthFollowsReferenceWatch()
{
    WatchWindow window;
    window.setMinimumWidth(200);
    window.setGeometry(10, 20, 300, 400);
    window.checkResize();
    QVERIFY(!window.isResizePending());

    VIVExcelWatchView curve;
    curve.resize(350, 200);
    window.addWatch(&curve);
    window.checkResize();
    QCOMPARE(window.targetWidth(), 410);
    // A burst of requests is merged into one resize after the last.
    window.checkResize();
    QVERIFY(window.isResizePending());
    QTRY_COMPARE(window.width(), 410);
    QCOMPARE(window.geometry().topLeft(), QPoint(10, 20));

    VIVExcelWatchView surface;
    VIVExcelWatchScale scale;
    scale.resize(44, 100);
    fillSurface(*surface.data());
    surface.setWatchScale(&scale);
    surface.setSubWatchMargin(2);
    surface.resize(200, 200);
    window.addWatch(&surface);
    QObject::connect(&surface, &VIVExcelWatchView::sizeChanged, &window, &WatchWindow::checkResize);
    surface.resize(210, 200);
    emit surface.sizeChanged();
    QCOMPARE(window.targetWidth(), 210 + int(208 / 1.8) + 44 + 60);

    // A sender that is not a watch view sizes the window for the widest watch: the curve that
    // came first must not cramp the surface.
    QObject::connect(surface.data(), &MinMaxMultiDimData::graphDepthChanged, &window,
                     &WatchWindow::checkResize);
    emit surface.data()->graphDepthChanged();
    QCOMPARE(window.targetWidth(), 210 + int(208 / 1.8) + 44 + 60);

    // Narrow watches never make the window narrower than it may be.
    window.watchDestroyed(&surface);
    curve.resize(50, 200);
    window.checkResize();
    QCOMPARE(window.targetWidth(), 200);
    window.watchDestroyed(&curve);
}

void TestWatchWindow::positionIsCorrectedAtRightEdge_data()
{
    QTest::addColumn<int>("overshoot");
    QTest::addColumn<int>("expectedShift");
    QTest::newRow("beyond the edge") << 120 << -150;
    QTest::newRow("just inside") << -1 << 0;
}

void TestWatchWindow::positionIsCorrectedAtRightEdge()
{
    QFETCH(int, overshoot);
    QFETCH(int, expectedShift);
    WatchWindow window;
    const QRect available = window.screen()->availableGeometry();
    QRect wanted(0, available.top() + 40, 300, 400);
    wanted.moveRight(available.right() + overshoot);
    window.checkPosition(wanted);
    QCOMPARE(window.geometry(), wanted.translated(expectedShift, 0));
    if (expectedShift != 0)
        QCOMPARE(window.geometry().right(), available.right() - 30);

    // Without a rectangle the current geometry is checked.
    window.setGeometry(wanted);
    window.checkPosition();
    QCOMPARE(window.geometry(), wanted.translated(expectedShift, 0));
}

// On a 1600 x 1000 screen, with a main window of 600 x 380.
void TestWatchWindow::placeLeavesTheNeighbourUncovered_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("obstacle");
    QTest::addColumn<QRect>("expected");
    const QRect tall(1100, 50, 400, 900);
    QTest::newRow("apart") << tall << QRect(100, 577, 600, 380) << tall;
    QTest::newRow("both in their first places: ends above")
        << tall << QRect(592, 577, 600, 380) << QRect(1100, 50, 400, 517);
    QTest::newRow("main window at the top: starts below")
        << tall << QRect(900, 0, 600, 380) << QRect(1100, 390, 400, 560);
    QTest::newRow("main window as tall as the screen: moves right")
        << QRect(500, 50, 400, 900) << QRect(100, 0, 600, 1000) << QRect(710, 50, 400, 900);
    QTest::newRow("no room on the right: moves left")
        << QRect(1000, 50, 400, 900) << QRect(900, 0, 600, 1000) << QRect(490, 50, 400, 900);
    QTest::newRow("no room anywhere: stays")
        << QRect(500, 50, 400, 900) << QRect(300, 0, 1000, 1000) << QRect(500, 50, 400, 900);
}

void TestWatchWindow::placeLeavesTheNeighbourUncovered()
{
    QFETCH(QRect, window);
    QFETCH(QRect, obstacle);
    QFETCH(QRect, expected);
    QCOMPARE(clearOf(window, obstacle, QRect(0, 0, 1600, 1000), 250), expected);
}

// A watch window that grows (after a surface scan) or is placed again leaves the main window's
// controls uncovered; a hidden neighbour is not in the way.
void TestWatchWindow::windowKeepsClearOfItsNeighbour()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget neighbour;
    neighbour.setGeometry(available.left() + 50, available.bottom() - 250, 500, 200);
    WatchWindow window;
    window.setNeighbour(&neighbour);
    const QRect wanted(available.left() + 300, available.top() + 20, 300, available.height() - 40);
    window.checkPosition(wanted);
    QCOMPARE(window.geometry(), wanted);

    neighbour.show();
    window.checkPosition(wanted);
    QVERIFY(!window.geometry().intersects(neighbour.frameGeometry()));
    QVERIFY(available.contains(window.geometry()));
}

QTEST_MAIN(TestWatchWindow)
#include "tst_watchwindow.moc"
