#include "ui_watchwindow.h"
#include "watches/watchwindow.h"

#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchscale.h"
#include "watches/vivexcelwatchview.h"
#include "watchtesthelpers.h"

#include <QScreen>
#include <QSignalSpy>
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
    Ui::WatchWindow *ui = window.form();
    QCOMPARE(ui->horizontalSlider_watchSize->minimum(), 40);
    QCOMPARE(ui->horizontalSlider_watchSize->maximum(), 400);
    QCOMPARE(ui->horizontalSlider_watchSize->value(), 100);
    QCOMPARE(ui->horizontalSlider_watchSize->toolTip(), QStringLiteral("Graph size"));
    QCOMPARE(ui->horizontalSlider_watchGraphAlpha->minimum(), 10);
    QCOMPARE(ui->horizontalSlider_watchGraphAlpha->maximum(), 255);
    QCOMPARE(ui->horizontalSlider_watchGraphAlpha->value(), 80);
    QVERIFY(ui->horizontalSlider_watchGraphAlpha->invertedAppearance());
    QVERIFY(ui->checkBox_SmoothGraphs->isHidden());
    QVERIFY(ui->scrollArea->widgetResizable());
    QCOMPARE(ui->scrollArea->frameShape(), QFrame::NoFrame);
    QCOMPARE(ui->scrollArea->palette().brush(QPalette::Inactive, QPalette::Window).color(),
             QColor(Qt::transparent));
    QVERIFY(!ui->label->pixmap().isNull());
    QCOMPARE(window.targetWidth(), 100);
}

void TestWatchWindow::addingAppliesAlphaAndFlat3D()
{
    WatchWindow window;
    window.form()->checkBox_Flat3DGraph->setChecked(true);
    auto *watch = new VIVExcelWatchView;
    window.form()->verticalLayout_2->insertWidget(0, watch);
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
    Ui::WatchWindow *ui = window.form();
    VIVExcelWatchView watch;
    VIVExcelWatchScale scale;
    fillSurface(*watch.data());
    watch.setWatchScale(&scale);
    DrawSettings3DFlat flat;
    flat.smooth = false;
    watch.data()->setDrawSettings3DFlat(flat);
    window.addWatch(&watch);

    ui->checkBox_Flat3DGraph->setChecked(true);
    QVERIFY(watch.data()->flat3D());
    QVERIFY(!scale.isHidden());
    QVERIFY(!ui->checkBox_SmoothGraphs->isHidden());
    QVERIFY(!ui->checkBox_SmoothGraphs->isChecked());
    QVERIFY(ui->checkBox_DrawPoints->isHidden());
    QVERIFY(ui->horizontalSlider_watchGraphAlpha->isHidden());
    QVERIFY(ui->label_Transparency->isHidden());
    QVERIFY(!ui->checkBox_DrawPoints->isEnabled());
    QVERIFY(!ui->horizontalSlider_watchGraphAlpha->isEnabled());
    QVERIFY(!ui->label_Transparency->isEnabled());
    // Showing the watch's state changed no watch.
    QVERIFY(watch.data()->drawSettings3DCube().smooth);

    ui->checkBox_Flat3DGraph->setChecked(false);
    QVERIFY(!watch.data()->flat3D());
    QVERIFY(scale.isHidden());
    QVERIFY(ui->checkBox_SmoothGraphs->isHidden());
    QVERIFY(ui->checkBox_SmoothGraphs->isChecked());
    QVERIFY(!ui->checkBox_DrawPoints->isHidden());
    QVERIFY(ui->checkBox_DrawPoints->isEnabled());
    QVERIFY(ui->horizontalSlider_watchGraphAlpha->isEnabled());
    QVERIFY(ui->label_Transparency->isEnabled());
    window.watchDestroyed(&watch);
}

void TestWatchWindow::transparencyRunsFromZeroToOne()
{
    WatchWindow window;
    VIVExcelWatchView watch;
    window.addWatch(&watch);
    QSlider *slider = window.form()->horizontalSlider_watchGraphAlpha;
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
    Ui::WatchWindow *ui = window.form();
    VIVExcelWatchView surface;
    VIVExcelWatchView curve;
    fillSurface(*surface.data());
    fillCurve(*curve.data());
    window.addWatch(&surface);
    window.addWatch(&curve);

    ui->checkBox_DrawPoints->setChecked(false);
    ui->checkBox_useNormalAveraged->setChecked(false);
    ui->checkBox_useTriangleRects->setChecked(false);
    for (VIVExcelWatchView *watch : {&surface, &curve}) {
        const DrawSettings3DCube cube = watch->data()->drawSettings3DCube();
        QVERIFY(!cube.showPoints);
        QVERIFY(!cube.averagedNormals);
        QVERIFY(!cube.triangleRects);
    }

    // Smooth reaches surfaces only: the cube while it is drawn as one, the flat map otherwise.
    ui->checkBox_SmoothGraphs->setChecked(false);
    QVERIFY(!surface.data()->drawSettings3DCube().smooth);
    QVERIFY(curve.data()->drawSettings3DCube().smooth);
    surface.data()->setFlat3D(true);
    ui->checkBox_SmoothGraphs->setChecked(true);
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
    for (QSlider *slider : {window.form()->horizontalSlider_watchSize,
                            window.form()->horizontalSlider_watchGraphAlpha}) {
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
    window.form()->horizontalSlider_watchSize->setValue(150);
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

QTEST_MAIN(TestWatchWindow)
#include "tst_watchwindow.moc"
