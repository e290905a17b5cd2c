#include "graph/minmaxmultidimdata.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

QList<DataDimension> dimensionsOf(const QList<int> &counts)
{
    QList<DataDimension> dimensions;
    for (int count : counts)
        dimensions.append({count, QString(), 0.0, 1.0});
    return dimensions;
}

// A store with the given dimensions, showing the given extraction.
void prepare(MinMaxMultiDimData &data, const QList<int> &counts, const QList<int> &indices)
{
    data.setDimensions(dimensionsOf(counts));
    data.setDataExtractionSettings({indices, false});
}

PerspectiveSettings withYaw(double yaw)
{
    PerspectiveSettings s;
    s.yaw = yaw;
    return s;
}

enum Action {
    Extraction,
    Perspective,
    Settings2D,
    SettingsFlat,
    SettingsCube,
    Flat3D,
    DisplayAsScan
};

// Changes one setting of the data to a value that differs from its default.
void apply(MinMaxMultiDimData &data, Action action)
{
    switch (action) {
    case Extraction:
        data.setDataExtractionSettings({data.dataExtractionSettings().indices, true});
        break;
    case Perspective:
        data.setPerspectiveSettings(withYaw(10.0));
        break;
    case Settings2D:
        data.setDrawSettings2D({0.5, true, 0});
        break;
    case SettingsFlat:
        data.setDrawSettings3DFlat({false});
        break;
    case SettingsCube: {
        DrawSettings3DCube cube;
        cube.showPoints = false;
        data.setDrawSettings3DCube(cube);
        break;
    }
    case Flat3D:
        data.setFlat3D(!data.flat3D());
        break;
    case DisplayAsScan:
        data.setDisplayAsScan(true);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestMinMaxMultiDimData : public QObject
{
    Q_OBJECT

private slots:
    void perspectiveNormalisation_data();
    void perspectiveNormalisation();
    void nonFinitePerspectiveIsRefused();
    void settings2D();
    void cubeSettingsCompareEveryField_data();
    void cubeSettingsCompareEveryField();
    void cubeSettingsRepairAndRefusal();
    void flatSettings();
    void minMaxWidening();
    void setMinMaxRules();
    void setValuesRecomputesOnceAndKeepsExtraction();
    void extraction_data();
    void extraction();
    void dimensionChangesRenormalise();
    void clearAndReset();
    void historyModeSetsDisplayAsScan();
    void updateRequests_data();
    void updateRequests();
    void freeDimension_data();
    void freeDimension();
    void sharedSettingsSettle();
    void settingsTravelQueued();
};

void TestMinMaxMultiDimData::perspectiveNormalisation_data()
{
    QTest::addColumn<PerspectiveSettings>("input");
    QTest::addColumn<PerspectiveSettings>("stored");
    QTest::addColumn<bool>("changed");

    const PerspectiveSettings defaults;
    QTest::newRow("yaw 190") << withYaw(190) << withYaw(-170) << true;
    QTest::newRow("yaw 360") << withYaw(360) << withYaw(0) << true;
    QTest::newRow("yaw -30 is the default") << withYaw(-30) << defaults << false;
    QTest::newRow("yaw 330 reduces to the default") << withYaw(330) << defaults << false;
    QTest::newRow("yaw 180 stays") << withYaw(180) << withYaw(180) << true;
    QTest::newRow("yaw -180 becomes 180") << withYaw(-180) << withYaw(180) << true;
    QTest::newRow("yaw -900") << withYaw(-900) << withYaw(180) << true;

    PerspectiveSettings pitch = defaults, pitchReduced = defaults;
    pitch.pitch = 725;
    pitchReduced.pitch = 5;
    QTest::newRow("pitch 725") << pitch << pitchReduced << true;
    PerspectiveSettings roll = defaults, rollReduced = defaults;
    roll.roll = -190;
    rollReduced.roll = 170;
    QTest::newRow("roll -190") << roll << rollReduced << true;

    auto zoomed = [](double zoom, QVector3D eye = QVector3D(0, 0, 2)) {
        PerspectiveSettings s;
        s.zoom = zoom;
        s.eye = eye;
        return s;
    };
    QTest::newRow("zoom 5 lowered to eye length 2") << zoomed(5) << zoomed(2) << true;
    QTest::newRow("zoom 0.3 raised to 0.5") << zoomed(0.3) << zoomed(0.5) << true;
    QTest::newRow("zoom 0.995 snaps to 1") << zoomed(0.995) << zoomed(1.0) << true;
    QTest::newRow("zoom 1.005 snaps to 1") << zoomed(1.005) << zoomed(1.0) << true;
    QTest::newRow("zoom 0.98 stays") << zoomed(0.98) << zoomed(0.98) << true;
    QTest::newRow("near eye: lowered, not raised")
        << zoomed(0.8, QVector3D(0, 0.3f, 0.4f)) << zoomed(0.5, QVector3D(0, 0.3f, 0.4f)) << true;
    QTest::newRow("near eye below 0.5")
        << zoomed(0.8, QVector3D(0, 0, 0.25f)) << zoomed(0.25, QVector3D(0, 0, 0.25f)) << true;

    PerspectiveSettings flat = defaults, flatRaised = defaults;
    flat.heightScale = -3;
    flatRaised.heightScale = 0.00002;
    QTest::newRow("negative height scale") << flat << flatRaised << true;

    PerspectiveSettings panned = defaults;
    panned.pan = QVector3D(0.1f, -0.2f, 0.3f);
    QTest::newRow("pan is kept as given") << panned << panned << true;
}

void TestMinMaxMultiDimData::perspectiveNormalisation()
{
    QFETCH(PerspectiveSettings, input);
    QFETCH(PerspectiveSettings, stored);
    QFETCH(bool, changed);

    MinMaxMultiDimData data;
    QSignalSpy spy(&data, &MinMaxMultiDimData::perspectiveChanged);
    data.setPerspectiveSettings(input);

    const PerspectiveSettings &actual = data.perspectiveSettings();
    QCOMPARE(actual.yaw, stored.yaw);
    QCOMPARE(actual.pitch, stored.pitch);
    QCOMPARE(actual.roll, stored.roll);
    QCOMPARE(actual.heightScale, stored.heightScale);
    QCOMPARE(actual.zoom, stored.zoom);
    QVERIFY(actual == stored);
    QCOMPARE(spy.count(), changed ? 1 : 0);
    QCOMPARE(data.perspectiveDirty(), changed);
    if (changed)
        QVERIFY(spy.first().first().value<PerspectiveSettings>() == stored);
}

void TestMinMaxMultiDimData::nonFinitePerspectiveIsRefused()
{
    MinMaxMultiDimData data;
    QSignalSpy spy(&data, &MinMaxMultiDimData::perspectiveChanged);
    PerspectiveSettings s;
    s.yaw = qQNaN();
    QTest::ignoreMessage(QtDebugMsg, "Invalid perspective: every value must be finite");
    data.setPerspectiveSettings(s);
    s = PerspectiveSettings();
    s.eye.setX(qInf());
    QTest::ignoreMessage(QtDebugMsg, "Invalid perspective: every value must be finite");
    data.setPerspectiveSettings(s);
    QVERIFY(data.perspectiveSettings() == PerspectiveSettings());
    QCOMPARE(spy.count(), 0);
    QVERIFY(!data.perspectiveDirty());
}

void TestMinMaxMultiDimData::settings2D()
{
    MinMaxMultiDimData data;
    QSignalSpy spy(&data, &MinMaxMultiDimData::drawSettings2DChanged);

    data.setDrawSettings2D({1.5, true, 0});
    QCOMPARE(spy.count(), 0); // clamped to 1.0, the default

    data.setDrawSettings2D({0.5, true, 0});
    data.setDrawSettings2D({1.5, true, 0});
    QCOMPARE(data.drawSettings2D().opacity, 1.0);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.last().first().value<DrawSettings2D>().opacity, 1.0);
    QVERIFY(data.settings2DDirty());

    data.setDrawSettings2D({1.0, true, 7});
    QCOMPARE(spy.count(), 2);
    QCOMPARE(data.drawSettings2D().tag, 0);

    data.setDrawSettings2D({-0.2, false, 7});
    QCOMPARE(spy.count(), 3);
    QCOMPARE(data.drawSettings2D().opacity, 0.0);
    QVERIFY(!data.drawSettings2D().smooth);
    QCOMPARE(data.drawSettings2D().tag, 7);

    QTest::ignoreMessage(QtDebugMsg, "Invalid 2D draw settings: opacity is NaN");
    data.setDrawSettings2D({qQNaN(), true, 0});
    QCOMPARE(spy.count(), 3);
    QCOMPARE(data.drawSettings2D().opacity, 0.0);
}

void TestMinMaxMultiDimData::cubeSettingsCompareEveryField_data()
{
    QTest::addColumn<DrawSettings3DCube>("settings");
    auto row = [](const char *name, auto change) {
        DrawSettings3DCube s;
        change(s);
        QTest::newRow(name) << s;
    };
    row("opacity", [](DrawSettings3DCube &s) { s.opacity = 0.5; });
    row("imageSize", [](DrawSettings3DCube &s) { s.imageSize = QSize(0, 1); });
    row("smooth", [](DrawSettings3DCube &s) { s.smooth = false; });
    row("fastDraw", [](DrawSettings3DCube &s) { s.fastDraw = true; });
    row("noAntialiasing", [](DrawSettings3DCube &s) { s.noAntialiasing = true; });
    row("renderScale", [](DrawSettings3DCube &s) { s.renderScale = 0.5; });
    row("auxFlagA", [](DrawSettings3DCube &s) { s.auxFlagA = false; });
    row("auxFlagB", [](DrawSettings3DCube &s) { s.auxFlagB = false; });
    row("surfaceColour", [](DrawSettings3DCube &s) { s.surfaceColour = QColor(139, 200, 56); });
    row("auxFlagC", [](DrawSettings3DCube &s) { s.auxFlagC = true; });
    row("showPoints", [](DrawSettings3DCube &s) { s.showPoints = false; });
    row("lowColour", [](DrawSettings3DCube &s) { s.lowColour = Qt::green; });
    row("highColour", [](DrawSettings3DCube &s) { s.highColour = Qt::green; });
    row("wireframeColour", [](DrawSettings3DCube &s) { s.wireframeColour = Qt::gray; });
    row("auxValue", [](DrawSettings3DCube &s) { s.auxValue = 0.25; });
    row("averagedNormals", [](DrawSettings3DCube &s) { s.averagedNormals = false; });
    row("triangleRects", [](DrawSettings3DCube &s) { s.triangleRects = false; });
    row("secondaryOpacity", [](DrawSettings3DCube &s) { s.secondaryOpacity = 0.5; });
    row("highlightColumn", [](DrawSettings3DCube &s) { s.highlightColumn = 3; });
    row("highlightRow", [](DrawSettings3DCube &s) { s.highlightRow = 3; });
    row("light intensity", [](DrawSettings3DCube &s) { s.lights[2].setW(100); });
    row("light position", [](DrawSettings3DCube &s) { s.lights[0].setZ(0.8f); });
    row("one light fewer", [](DrawSettings3DCube &s) { s.lights.removeLast(); });
}

void TestMinMaxMultiDimData::cubeSettingsCompareEveryField()
{
    QFETCH(DrawSettings3DCube, settings);
    MinMaxMultiDimData data;
    QSignalSpy spy(&data, &MinMaxMultiDimData::drawSettings3DCubeChanged);

    data.setDrawSettings3DCube(DrawSettings3DCube());
    QCOMPARE(spy.count(), 0);
    QVERIFY(!data.cubeDirty());

    data.setDrawSettings3DCube(settings);
    QCOMPARE(spy.count(), 1);
    QVERIFY(data.cubeDirty());
    QVERIFY(data.drawSettings3DCube() == settings);
    QVERIFY(spy.first().first().value<DrawSettings3DCube>() == settings);
}

void TestMinMaxMultiDimData::cubeSettingsRepairAndRefusal()
{
    MinMaxMultiDimData data;
    QSignalSpy spy(&data, &MinMaxMultiDimData::drawSettings3DCubeChanged);

    DrawSettings3DCube s;
    s.opacity = 1.7;
    s.secondaryOpacity = -4;
    data.setDrawSettings3DCube(s);
    QCOMPARE(data.drawSettings3DCube().opacity, 1.0);
    QCOMPARE(data.drawSettings3DCube().secondaryOpacity, 0.0);
    QCOMPARE(spy.count(), 1);

    s.opacity = 1.0;
    s.secondaryOpacity = 0.0;
    data.setDrawSettings3DCube(s);
    QCOMPARE(spy.count(), 1); // equal to what the clamped value stored

    DrawSettings3DCube bad;
    bad.lights[1].setW(qQNaN());
    QTest::ignoreMessage(QtDebugMsg, "Invalid cube draw settings: every value must be finite");
    data.setDrawSettings3DCube(bad);
    bad = DrawSettings3DCube();
    bad.renderScale = 0.0;
    QTest::ignoreMessage(QtDebugMsg, "Invalid cube draw settings: render scale 0");
    data.setDrawSettings3DCube(bad);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(data.drawSettings3DCube().opacity, 1.0);
}

void TestMinMaxMultiDimData::flatSettings()
{
    MinMaxMultiDimData data;
    QSignalSpy spy(&data, &MinMaxMultiDimData::drawSettings3DFlatChanged);
    data.setDrawSettings3DFlat({true});
    QCOMPARE(spy.count(), 0);
    QVERIFY(!data.flatDirty());
    data.setDrawSettings3DFlat({false});
    QCOMPARE(spy.count(), 1);
    QVERIFY(data.flatDirty());
    QVERIFY(!data.drawSettings3DFlat().smooth);
}

void TestMinMaxMultiDimData::minMaxWidening()
{
    MinMaxMultiDimData data;
    data.setDimensions(dimensionsOf({3}));
    QSignalSpy minMax(&data, &MinMaxMultiDimData::minMaxChanged);

    data.setValue({0}, 3.0);
    data.setValue({1}, qQNaN());
    data.setValue({2}, -1.0);
    QCOMPARE(data.minimum(), -1.0);
    QCOMPARE(data.maximum(), 3.0);
    QCOMPARE(minMax.count(), 2); // NaN widens nothing

    data.setMinMax(0.0, 10.0);
    QCOMPARE(data.minimum(), 0.0);
    QCOMPARE(data.maximum(), 10.0);
    QCOMPARE(minMax.count(), 3);

    data.setValue({1}, 5.0);
    QCOMPARE(minMax.count(), 3); // inside the range
    data.setValue({1}, 12.0);
    QCOMPARE(data.minimum(), 0.0);
    QCOMPARE(data.maximum(), 12.0);
    QCOMPARE(minMax.count(), 4);
}

void TestMinMaxMultiDimData::setMinMaxRules()
{
    MinMaxMultiDimData data;
    QSignalSpy minMax(&data, &MinMaxMultiDimData::minMaxChanged);
    data.markPainted();

    data.setMinMax(qQNaN(), qQNaN());
    QCOMPARE(minMax.count(), 0); // NaN to NaN is no change
    QVERIFY(!data.dataChanged());

    data.setMinMax(1.0, 1.0);
    QCOMPARE(minMax.count(), 1);
    QVERIFY(data.dataChanged());
    data.setMinMax(1.0, 1.0);
    QCOMPARE(minMax.count(), 1);

    QTest::ignoreMessage(QtDebugMsg, "Invalid range: minimum 5 is above maximum 1");
    data.setMinMax(5.0, 1.0);
    QCOMPARE(data.minimum(), 1.0);
    QCOMPARE(data.maximum(), 1.0);
    QCOMPARE(minMax.count(), 1);
}

void TestMinMaxMultiDimData::setValuesRecomputesOnceAndKeepsExtraction()
{
    MinMaxMultiDimData data;
    prepare(data, {3, 2}, {-1, -1});
    data.setMinMax(0.0, 1.0);
    data.setDisplayAsScan(true);
    QSignalSpy minMax(&data, &MinMaxMultiDimData::minMaxChanged);
    QSignalSpy extraction(&data, &MinMaxMultiDimData::dataExtractionSettingsChanged);

    QVERIFY(data.setValues({0.5, -2.0, 0.25, 7.0, qQNaN(), 1.0}));
    QCOMPARE(data.minimum(), -2.0);
    QCOMPARE(data.maximum(), 7.0);
    QCOMPARE(minMax.count(), 1);
    QVERIFY(!data.displayAsScan());
    // The dimensions did not change, so the extraction still fits them.
    QCOMPARE(data.dataExtractionSettings().indices, QList<int>({-1, -1}));
    QCOMPARE(data.graphDepth(), int(GraphDepthSurface));
    QCOMPARE(extraction.count(), 0);

    QVERIFY(data.setValues({0, 1, 2, 3, 4, 5}));
    QCOMPARE(data.minimum(), -2.0); // only ever widens
    QCOMPARE(data.maximum(), 7.0);
    QCOMPARE(minMax.count(), 1);

    QTest::ignoreMessage(QtDebugMsg, "Invalid data size. Required: 6  provided: 1");
    QVERIFY(!data.setValues({100.0}));
    QCOMPARE(data.maximum(), 7.0);
}

void TestMinMaxMultiDimData::extraction_data()
{
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<QList<int>>("stored");
    QTest::addColumn<int>("depth");

    const QList<int> c555{5, 5, 5};
    QTest::newRow("two entries for one dimension")
        << QList<int>{5} << QList<int>{0, -1} << QList<int>{} << int(GraphDepthNone);
    QTest::newRow("index equal to count")
        << QList<int>{4, 3} << QList<int>{-1, 3} << QList<int>{} << int(GraphDepthNone);
    QTest::newRow("entry below -1")
        << c555 << QList<int>{-2, -1} << QList<int>{} << int(GraphDepthNone);
    QTest::newRow("nothing free") << c555 << QList<int>{1, 2} << QList<int>{1, 2}
                                  << int(GraphDepthValue);
    QTest::newRow("one free") << c555 << QList<int>{-1} << QList<int>{-1} << int(GraphDepthCurve);
    QTest::newRow("two free") << c555 << QList<int>{-1, -1, 2} << QList<int>{-1, -1, 2}
                              << int(GraphDepthSurface);
    QTest::newRow("three free") << c555 << QList<int>{-1, -1, -1} << QList<int>{-1, -1, -1}
                                << int(GraphDepthBeyondSurface);
    QTest::newRow("free dimension of count 0")
        << QList<int>{0} << QList<int>{-1} << QList<int>{-1} << int(GraphDepthCurve);
}

void TestMinMaxMultiDimData::extraction()
{
    QFETCH(QList<int>, counts);
    QFETCH(QList<int>, indices);
    QFETCH(QList<int>, stored);
    QFETCH(int, depth);

    MinMaxMultiDimData data;
    data.setDimensions(dimensionsOf(counts));
    data.setDataExtractionSettings({{-1}, false}); // something to replace
    QSignalSpy changed(&data, &MinMaxMultiDimData::dataExtractionSettingsChanged);
    QSignalSpy depthChanged(&data, &MinMaxMultiDimData::graphDepthChanged);
    const int depthBefore = data.graphDepth();

    data.setDataExtractionSettings({indices, true});
    QCOMPARE(data.dataExtractionSettings().indices, stored);
    QVERIFY(data.dataExtractionSettings().fastExtraction);
    QCOMPARE(data.graphDepth(), depth);
    QCOMPARE(depthChanged.count(), depth == depthBefore ? 0 : 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().value<DataExtractionSettings>().indices, stored);

    // Repeating the same (possibly repaired) settings is no change.
    data.setDataExtractionSettings({indices, true});
    QCOMPARE(changed.count(), 1);
}

void TestMinMaxMultiDimData::dimensionChangesRenormalise()
{
    MinMaxMultiDimData data;
    prepare(data, {4, 3}, {-1, 2});
    QCOMPARE(data.graphDepth(), int(GraphDepthCurve));
    QSignalSpy changed(&data, &MinMaxMultiDimData::dataExtractionSettingsChanged);
    QSignalSpy depthChanged(&data, &MinMaxMultiDimData::graphDepthChanged);

    data.setDimensions(dimensionsOf({4, 5}));
    QCOMPARE(data.dataExtractionSettings().indices, QList<int>({-1, 2}));
    QCOMPARE(changed.count(), 0);

    data.setDimensions(dimensionsOf({4, 2}));
    QCOMPARE(data.dataExtractionSettings().indices, QList<int>());
    QCOMPARE(data.graphDepth(), int(GraphDepthNone));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(depthChanged.count(), 1);
}

void TestMinMaxMultiDimData::clearAndReset()
{
    MinMaxMultiDimData data;
    prepare(data, {3}, {-1});
    data.appendValue(4.0);
    QVERIFY(data.displayAsScan());
    QSignalSpy minMax(&data, &MinMaxMultiDimData::minMaxChanged);

    data.resetValues();
    QVERIFY(std::isnan(data.minimum()) && std::isnan(data.maximum()));
    QVERIFY(!data.displayAsScan());
    QCOMPARE(data.graphDepth(), int(GraphDepthCurve));
    QCOMPARE(minMax.count(), 1);

    data.setValue({0}, 2.0);
    data.appendValue(4.0);
    QSignalSpy depthChanged(&data, &MinMaxMultiDimData::graphDepthChanged);
    data.clear();
    QVERIFY(std::isnan(data.minimum()) && std::isnan(data.maximum()));
    QVERIFY(!data.displayAsScan());
    QVERIFY(data.dataExtractionSettings().indices.isEmpty());
    QCOMPARE(data.graphDepth(), int(GraphDepthNone));
    QCOMPARE(depthChanged.count(), 1);
    QCOMPARE(minMax.count(), 4); // setValue, appendValue widen; reset and clear signal
}

void TestMinMaxMultiDimData::historyModeSetsDisplayAsScan()
{
    MinMaxMultiDimData data;
    prepare(data, {0}, {-1});
    QSignalSpy mode(&data, &MinMaxMultiDimData::displayAsScanChanged);

    QVERIFY(data.appendValue(2.0));
    QVERIFY(data.appendValue(-3.0));
    QVERIFY(data.displayAsScan());
    QCOMPARE(data.minimum(), -3.0);
    QCOMPARE(data.maximum(), 2.0);
    QCOMPARE(mode.count(), 1);
    QCOMPARE(mode.first().first().toBool(), true);

    data.setValue({0}, 1.0);
    QVERIFY(!data.displayAsScan());
    QCOMPARE(mode.count(), 2);

    MinMaxMultiDimData twoDimensional;
    prepare(twoDimensional, {2, 2}, {-1, 0});
    QVERIFY(!twoDimensional.appendValue(50.0));
    QVERIFY(!twoDimensional.displayAsScan());
    QVERIFY(std::isnan(twoDimensional.maximum()));
}

void TestMinMaxMultiDimData::updateRequests_data()
{
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<bool>("flat3D");
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("update");

    const QList<int> curve{-1, 0}, surface{-1, -1}, single{0, 0};
    QTest::newRow("extraction, cube") << surface << false << Extraction << true;
    QTest::newRow("extraction, flat") << surface << true << Extraction << false;
    QTest::newRow("extraction, curve") << curve << false << Extraction << false;
    QTest::newRow("perspective, cube") << surface << false << Perspective << true;
    QTest::newRow("perspective, flat") << surface << true << Perspective << false;
    QTest::newRow("perspective, curve") << curve << false << Perspective << false;
    QTest::newRow("2D, curve") << curve << false << Settings2D << true;
    QTest::newRow("2D, cube") << surface << false << Settings2D << false;
    QTest::newRow("2D, single value") << single << false << Settings2D << false;
    QTest::newRow("flat settings, flat") << surface << true << SettingsFlat << true;
    QTest::newRow("flat settings, cube") << surface << false << SettingsFlat << false;
    QTest::newRow("cube settings, cube") << surface << false << SettingsCube << true;
    QTest::newRow("cube settings, flat") << surface << true << SettingsCube << false;
    QTest::newRow("flat3D, surface") << surface << false << Flat3D << true;
    QTest::newRow("flat3D, curve") << curve << false << Flat3D << false;
    QTest::newRow("displayAsScan, curve") << curve << false << DisplayAsScan << true;
    QTest::newRow("displayAsScan, cube") << surface << false << DisplayAsScan << false;
}

void TestMinMaxMultiDimData::updateRequests()
{
    QFETCH(QList<int>, indices);
    QFETCH(bool, flat3D);
    QFETCH(Action, action);
    QFETCH(bool, update);

    MinMaxMultiDimData data;
    prepare(data, {3, 3}, indices);
    data.setFlat3D(flat3D);
    QSignalSpy spy(&data, &MinMaxMultiDimData::updateNeeded);
    apply(data, action);
    QCOMPARE(spy.count(), update ? 1 : 0);
    if (action != Flat3D) { // repeating any other change is no change
        apply(data, action);
        QCOMPARE(spy.count(), update ? 1 : 0);
    }
}

void TestMinMaxMultiDimData::freeDimension_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("position");
    QTest::newRow("first") << 0 << 0;
    QTest::newRow("second") << 1 << 2;
    QTest::newRow("beyond") << 2 << -1;
    QTest::newRow("negative") << -1 << -1;
}

void TestMinMaxMultiDimData::freeDimension()
{
    QFETCH(int, n);
    QFETCH(int, position);
    MinMaxMultiDimData data;
    prepare(data, {2, 2, 2}, {-1, 1, -1});
    QCOMPARE(data.freeDimension(n), position);
}

// Watches share their camera and draw settings by connecting each store to the others in both
// directions; the compare-first setters must end the echo after one round.
void TestMinMaxMultiDimData::sharedSettingsSettle()
{
    MinMaxMultiDimData a, b;
    for (auto [from, to] : {std::pair(&a, &b), std::pair(&b, &a)}) {
        connect(from, &MinMaxMultiDimData::perspectiveChanged, to,
                &MinMaxMultiDimData::setPerspectiveSettings);
        connect(from, &MinMaxMultiDimData::drawSettings2DChanged, to,
                &MinMaxMultiDimData::setDrawSettings2D);
        connect(from, &MinMaxMultiDimData::drawSettings3DCubeChanged, to,
                &MinMaxMultiDimData::setDrawSettings3DCube);
    }
    QSignalSpy fromA(&a, &MinMaxMultiDimData::perspectiveChanged);
    QSignalSpy fromB(&b, &MinMaxMultiDimData::perspectiveChanged);
    QSignalSpy cubeFromB(&b, &MinMaxMultiDimData::drawSettings3DCubeChanged);

    a.setPerspectiveSettings(withYaw(190));
    QCOMPARE(b.perspectiveSettings().yaw, -170.0);
    QCOMPARE(fromA.count(), 1);
    QCOMPARE(fromB.count(), 1);

    a.setDrawSettings2D({2.0, false, 0});
    QCOMPARE(b.drawSettings2D().opacity, 1.0);
    QVERIFY(!b.drawSettings2D().smooth);

    DrawSettings3DCube cube;
    cube.opacity = 3.0;
    a.setDrawSettings3DCube(cube);
    QCOMPARE(b.drawSettings3DCube().opacity, 1.0);
    QCOMPARE(cubeFromB.count(), 1);
}

void TestMinMaxMultiDimData::settingsTravelQueued()
{
    QVERIFY(QMetaType::fromName("PerspectiveSettings").isValid());
    QVERIFY(QMetaType::fromName("DrawSettings3DCube").isValid());

    MinMaxMultiDimData a, b;
    connect(&a, &MinMaxMultiDimData::perspectiveChanged, &b,
            &MinMaxMultiDimData::setPerspectiveSettings, Qt::QueuedConnection);
    connect(&a, &MinMaxMultiDimData::dataExtractionSettingsChanged, &b,
            &MinMaxMultiDimData::setDataExtractionSettings, Qt::QueuedConnection);
    connect(&a, SIGNAL(drawSettings3DCubeChanged(DrawSettings3DCube)), &b,
            SLOT(setDrawSettings3DCube(DrawSettings3DCube)), Qt::QueuedConnection);
    a.setDimensions(dimensionsOf({2, 2}));
    b.setDimensions(dimensionsOf({2, 2}));

    a.setPerspectiveSettings(withYaw(45));
    a.setDataExtractionSettings({{-1, 1}, true});
    DrawSettings3DCube cube;
    cube.highlightRow = 1;
    a.setDrawSettings3DCube(cube);
    // The sender's copy changes before delivery; the queued value must not.
    a.setPerspectiveSettings(withYaw(60));
    QCOMPARE(b.perspectiveSettings().yaw, -30.0);

    QTRY_COMPARE(b.drawSettings3DCube().highlightRow, 1);
    QCOMPARE(b.dataExtractionSettings().indices, QList<int>({-1, 1}));
    QCOMPARE(b.graphDepth(), int(GraphDepthCurve));
    QCOMPARE(b.perspectiveSettings().yaw, 60.0);
}

QTEST_GUILESS_MAIN(TestMinMaxMultiDimData)
#include "tst_minmaxmultidimdata.moc"
