#include "graph/cubegraphpainter.h"
#include "graph/minmaxmultidimdata.h"
#include "pixelcount.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

namespace {

const QColor background(24, 1, 0);

// A columns x rows surface shown as a cube into an image of the given size.
void prepareCube(MinMaxMultiDimData &data, int columns, int rows, const QList<double> &values,
                 QSize imageSize = QSize(200, 200))
{
    data.setDimensions(
        {{columns, QStringLiteral("x"), 0.0, 1.0}, {rows, QStringLiteral("y"), 0.0, 1.0}});
    data.setDataExtractionSettings({{-1, -1}, false});
    data.setValues(values);
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.imageSize = imageSize;
    data.setDrawSettings3DCube(cube);
}

QList<double> constantValues(int count, double value = 1.0)
{
    return QList<double>(count, value);
}

QList<double> waveValues(int columns, int rows)
{
    QList<double> values;
    for (int b = 0; b < rows; ++b) {
        for (int a = 0; a < columns; ++a)
            values.append(std::sin(6.0 * a / (columns - 1) - 3.0) *
                          std::cos(6.0 * b / (rows - 1) - 3.0));
    }
    return values;
}

QImage paintInto(MinMaxMultiDimData &data, QSize size = QSize(200, 200))
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    data.paint(painter, QRect(QPoint(0, 0), size));
    return image;
}

// Lighting a red marker turns it pink.
bool isRed(const QColor &c)
{
    return c.red() > 90 && c.red() > c.green() + 50 && c.red() > c.blue() + 50;
}

bool isYellow(const QColor &c)
{
    return c.red() > 200 && c.green() > 200 && c.blue() < 80;
}

// The surface colour lit: clearly green, far above the background.
bool isFace(const QColor &c)
{
    return c.green() > 60 && c.green() > c.red() + 20 && c.green() > c.blue() + 20;
}

enum Change { NoChange, DataChange, ExtractionChange, PerspectiveChange, PointsToggle };

void apply(MinMaxMultiDimData &data, Change change)
{
    switch (change) {
    case NoChange:
        break;
    case DataChange:
        data.setValue({1, 1}, 7.0);
        break;
    case ExtractionChange:
        data.setDataExtractionSettings({{-1, -1}, true});
        break;
    case PerspectiveChange: {
        PerspectiveSettings camera = data.perspectiveSettings();
        camera.yaw += 20.0;
        data.setPerspectiveSettings(camera);
        break;
    }
    case PointsToggle: {
        DrawSettings3DCube cube = data.drawSettings3DCube();
        cube.showPoints = !cube.showPoints;
        data.setDrawSettings3DCube(cube);
        break;
    }
    }
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestCubeGraphPainter : public QObject
{
    Q_OBJECT

private slots:
    void meshOfTwoByTwo();
    void neighboursAreTheFacesSharingAnEdge();
    void missingVertex();
    void missingPointsOnlyWhenComplete_data();
    void missingPointsOnlyWhenComplete();
    void stages_data();
    void stages();
    void overlaySignalsOnlyWhenRendering();
    void nothingShown_data();
    void nothingShown();
    void cameraAtTheCentreDrawsNoGeometry();
    void mergingKeepsTheMeshConsistent_data();
    void mergingKeepsTheMeshConsistent();
    void highlightedRowAndColumn();
    void faceFillFollowsOpacity();
    void intenseLightWhitensFaces();
    void referenceImage();
    void labelsInsideTheImage_data();
    void labelsInsideTheImage();
};

void TestCubeGraphPainter::meshOfTwoByTwo()
{
    MinMaxMultiDimData data;
    prepareCube(data, 2, 2, {0, 1, 2, 3});
    data.finishScan(true);
    const QImage image = paintInto(data);
    const CubeMesh &mesh = data.cubeGraphPainter().mesh();
    QCOMPARE(int(mesh.vertices().size()), 4);
    QCOMPARE(mesh.faceCount(), 2);
    QCOMPARE(mesh.vertices()[0].model, QVector3D(-0.5f, -0.5f, 0.5f));
    QCOMPARE(mesh.vertices()[3].model, QVector3D(0.5f, 0.5f, -0.5f));
    QVERIFY(countPixels(image, isFace) > 500);
    QVERIFY(!data.dataChanged());
}

void TestCubeGraphPainter::neighboursAreTheFacesSharingAnEdge()
{
    CubeMesh mesh;
    mesh.build(waveValues(5, 4), 5, 4, -1.0, 2.0);
    const std::vector<CubeFace> &faces = mesh.faces();
    QCOMPARE(int(faces.size()), 24);
    for (int f = 0; f < 24; ++f) {
        for (int g = 0; g < 24; ++g) {
            const auto &a = faces[f].vertices;
            const auto &b = faces[g].vertices;
            const auto shared = std::count_if(a.begin(), a.end(), [&b](int v) {
                return std::find(b.begin(), b.end(), v) != b.end();
            });
            const bool linked =
                std::count(faces[f].neighbours.begin(), faces[f].neighbours.end(), g) == 1;
            QCOMPARE(linked, f != g && shared == 2);
        }
    }
}

void TestCubeGraphPainter::missingVertex()
{
    MinMaxMultiDimData data;
    prepareCube(data, 3, 3, {0, 1, 2, 3, qQNaN(), 5, 6, 7, 8});
    paintInto(data);
    const CubeVertex &centre = data.cubeGraphPainter().mesh().vertices()[4];
    QVERIFY(centre.missing);
    QCOMPARE(centre.model.y(), -0.5f);
    QCOMPARE(int(centre.faces.size()), 6);
}

void TestCubeGraphPainter::missingPointsOnlyWhenComplete_data()
{
    QTest::addColumn<bool>("scanComplete");
    QTest::addColumn<bool>("red");
    QTest::addColumn<bool>("filled");

    QTest::newRow("complete: red point, filled faces") << true << true << true;
    QTest::newRow("pending: no red, wireframe") << false << false << false;
}

// A flat surface whose ramp colour is cyan, with one value missing in the middle. The faces are
// thin enough for the pit's floor to show through.
void TestCubeGraphPainter::missingPointsOnlyWhenComplete()
{
    QFETCH(bool, scanComplete);
    QFETCH(bool, red);
    QFETCH(bool, filled);
    MinMaxMultiDimData data;
    QList<double> values = constantValues(25);
    values[12] = qQNaN();
    prepareCube(data, 5, 5, values, QSize(300, 300));
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.opacity = 0.4;
    cube.highlightColumn = -1;
    data.setDrawSettings3DCube(cube);
    data.finishScan(scanComplete);
    const QImage image = paintInto(data, QSize(300, 300));
    QCOMPARE(countPixels(image, isRed) > 0, red);
    QCOMPARE(countPixels(image, isFace) > 1000, filled);
}

void TestCubeGraphPainter::stages_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("meshBuilds");
    QTest::addColumn<int>("projections");
    QTest::addColumn<int>("mappings");
    QTest::addColumn<int>("renderings");

    QTest::newRow("repaint only blits") << NoChange << 0 << 0 << 0 << 0;
    QTest::newRow("data rebuilds everything") << DataChange << 1 << 1 << 1 << 1;
    QTest::newRow("extraction rebuilds everything") << ExtractionChange << 1 << 1 << 1 << 1;
    QTest::newRow("camera re-projects") << PerspectiveChange << 0 << 1 << 1 << 1;
    QTest::newRow("points toggle re-maps") << PointsToggle << 0 << 0 << 1 << 1;
}

void TestCubeGraphPainter::stages()
{
    QFETCH(Change, change);
    QFETCH(int, meshBuilds);
    QFETCH(int, projections);
    QFETCH(int, mappings);
    QFETCH(int, renderings);
    MinMaxMultiDimData data;
    prepareCube(data, 4, 3, waveValues(4, 3));
    data.finishScan(true);
    paintInto(data);
    const CubeGraphPainter::StageCounts before = data.cubeGraphPainter().stageCounts();
    QCOMPARE(before.meshBuilds, 1);

    apply(data, change);
    const QImage image = paintInto(data);
    const CubeGraphPainter::StageCounts &after = data.cubeGraphPainter().stageCounts();
    QCOMPARE(after.meshBuilds - before.meshBuilds, meshBuilds);
    QCOMPARE(after.projections - before.projections, projections);
    QCOMPARE(after.pixelMappings - before.pixelMappings, mappings);
    QCOMPARE(after.renderings - before.renderings, renderings);
    QVERIFY(!data.extractionDirty() && !data.perspectiveDirty() && !data.cubeDirty());
    // Whatever was redone, the cached picture is what the view shows.
    QCOMPARE(image, data.cubeImage().convertToFormat(image.format()));
}

void TestCubeGraphPainter::overlaySignalsOnlyWhenRendering()
{
    MinMaxMultiDimData data;
    prepareCube(data, 3, 3, waveValues(3, 3));
    int before = 0;
    int after = 0;
    connect(&data, &MinMaxMultiDimData::beforePaint3D, this, [&](QPainter &) { ++before; });
    connect(&data, &MinMaxMultiDimData::afterPaint3D, this, [&](QPainter &painter) {
        QCOMPARE(painter.device(), &const_cast<QImage &>(data.cubeImage()));
        ++after;
    });
    paintInto(data);
    paintInto(data);
    QCOMPARE(before, 1);
    QCOMPARE(after, 1);
}

void TestCubeGraphPainter::nothingShown_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QSize>("imageSize");

    QTest::newRow("zero image size") << 3 << waveValues(3, 3) << QSize(0, 0);
    QTest::newRow("zero image width") << 3 << waveValues(3, 3) << QSize(0, 200);
    QTest::newRow("a single column") << 1 << QList<double>{1, 2, 3} << QSize(200, 200);
    QTest::newRow("nothing but missing values")
        << 3 << QList<double>(9, qQNaN()) << QSize(200, 200);
}

void TestCubeGraphPainter::nothingShown()
{
    QFETCH(int, columns);
    QFETCH(QList<double>, values);
    QFETCH(QSize, imageSize);
    MinMaxMultiDimData data;
    prepareCube(data, columns, 3, values, imageSize);
    data.finishScan(true);
    const QImage image = paintInto(data);
    QVERIFY(data.cubeImage().isNull());
    QCOMPARE(countPixels(image, [](const QColor &c) { return c != Qt::black; }), 0);
    QVERIFY(!data.dataChanged());

    // Once an image can be made, the data seen before is built into the mesh.
    if (imageSize.isEmpty()) {
        prepareCube(data, columns, 3, values, QSize(100, 100));
        paintInto(data);
        QVERIFY(!data.cubeImage().isNull());
        QCOMPARE(int(data.cubeGraphPainter().mesh().vertices().size()), 9);
    }
}

// An eye at the origin collapses the projection; the image stays plain background.
void TestCubeGraphPainter::cameraAtTheCentreDrawsNoGeometry()
{
    MinMaxMultiDimData data;
    prepareCube(data, 3, 3, waveValues(3, 3));
    data.finishScan(true);
    PerspectiveSettings camera = data.perspectiveSettings();
    camera.eye = QVector3D(0.0f, 0.0f, 0.0f);
    data.setPerspectiveSettings(camera);
    const QImage image = paintInto(data);
    QCOMPARE(countPixels(image, [](const QColor &c) { return c != background; }), 0);
}

void TestCubeGraphPainter::mergingKeepsTheMeshConsistent_data()
{
    QTest::addColumn<bool>("scanComplete");
    QTest::addColumn<int>("maxFaces");
    QTest::addColumn<int>("minFaces");

    // 200 triangles: a scan in progress merges up to one neighbour into each face, a finished
    // scan of this size (at most 1000 faces) none.
    QTest::newRow("pending scan merges") << false << 110 << 100;
    QTest::newRow("small finished scan keeps its triangles") << true << 200 << 200;
}

void TestCubeGraphPainter::mergingKeepsTheMeshConsistent()
{
    QFETCH(bool, scanComplete);
    QFETCH(int, maxFaces);
    QFETCH(int, minFaces);
    MinMaxMultiDimData data;
    QList<double> values = constantValues(121);
    values[60] = qQNaN();
    prepareCube(data, 11, 11, values);
    data.setDataExtractionSettings({{-1, -1}, true});
    data.finishScan(scanComplete);
    paintInto(data);

    const CubeMesh &mesh = data.cubeGraphPainter().mesh();
    QVERIFY(mesh.faceCount() <= maxFaces);
    QVERIFY(mesh.faceCount() >= minFaces);
    for (const CubeVertex &vertex : mesh.vertices()) {
        for (int f : vertex.faces) {
            const CubeFace &face = mesh.faces()[f];
            QVERIFY(!face.removed);
            QVERIFY(std::count(face.vertices.begin(), face.vertices.end(),
                               int(&vertex - mesh.vertices().data())) == 1);
        }
    }
    // Faces at the missing value keep their triangles.
    for (int f : mesh.vertices()[60].faces)
        QCOMPARE(int(mesh.faces()[f].vertices.size()), 3);
}

void TestCubeGraphPainter::highlightedRowAndColumn()
{
    MinMaxMultiDimData data;
    prepareCube(data, 6, 6, constantValues(36), QSize(300, 300));
    data.finishScan(true);
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.highlightColumn = -1;
    cube.highlightRow = -1;
    data.setDrawSettings3DCube(cube);
    QCOMPARE(countPixels(paintInto(data, QSize(300, 300)), isYellow), 0);

    cube.highlightColumn = 2;
    cube.highlightRow = 4;
    data.setDrawSettings3DCube(cube);
    QVERIFY(countPixels(paintInto(data, QSize(300, 300)), isYellow) > 100);

    cube.highlightColumn = 6;
    data.setDrawSettings3DCube(cube);
    QCOMPARE(countPixels(paintInto(data, QSize(300, 300)), isYellow), 0);
}

// An opacity of 0.2 still fills the faces; at 0.04 only their grid lines are left.
void TestCubeGraphPainter::faceFillFollowsOpacity()
{
    MinMaxMultiDimData data;
    prepareCube(data, 3, 3, constantValues(9), QSize(300, 300));
    data.finishScan(true);
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.showPoints = false;
    cube.opacity = 0.2;
    data.setDrawSettings3DCube(cube);
    const QImage faint = paintInto(data, QSize(300, 300));
    cube.opacity = 0.04;
    data.setDrawSettings3DCube(cube);
    const QImage bare = paintInto(data, QSize(300, 300));
    const auto tinted = [](const QColor &c) { return c.green() > 15; };
    // Both show the axes and the grid lines; only the faint one covers the surface's area.
    QVERIFY(countPixels(faint, tinted) - countPixels(bare, tinted) > 10000);
}

// A light ten billion times stronger than the defaults washes the faces out to white; it must not
// leave them unlit.
void TestCubeGraphPainter::intenseLightWhitensFaces()
{
    MinMaxMultiDimData data;
    prepareCube(data, 3, 3, constantValues(9), QSize(300, 300));
    data.finishScan(true);
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.showPoints = false;
    cube.lights = {CubeLight(0.8f, 2.0f, 1.8f, 1.0e12f)};
    data.setDrawSettings3DCube(cube);
    const QImage image = paintInto(data, QSize(300, 300));
    const auto white = [](const QColor &c) {
        return c.red() > 200 && c.green() > 200 && c.blue() > 200;
    };
    QVERIFY(countPixels(image, white) > 10000);
}

// The default view of a wave surface against a reference picture. Labels are drawn with the
// machine's fonts, so a few per cent of the pixels may differ.
void TestCubeGraphPainter::referenceImage()
{
    MinMaxMultiDimData data;
    prepareCube(data, 21, 21, waveValues(21, 21), QSize(300, 300));
    data.finishScan(true);
    const QImage image = paintInto(data, QSize(300, 300)).convertToFormat(QImage::Format_RGB32);
    const QString path = QStringLiteral(REFERENCE_DIR "/cube_wave.png");
    if (qEnvironmentVariableIsSet("MARLOWIN_WRITE_REFERENCES"))
        QVERIFY(image.save(path));
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(reference.size(), image.size());
    int differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor a = image.pixelColor(x, y);
            const QColor b = reference.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) > 40 || std::abs(a.green() - b.green()) > 40 ||
                std::abs(a.blue() - b.blue()) > 40)
                ++differing;
        }
    }
    QVERIFY2(differing < image.width() * image.height() / 50,
             qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
}

void TestCubeGraphPainter::labelsInsideTheImage_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("yaw");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("roll");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPointF>("pan");
    QTest::addColumn<int>("fewestLabels");
    QTest::newRow("watch, default camera")
        << QSize(330, 300) << -30.0 << 40.0 << 0.0 << 0.8 << QPointF() << 15;
    QTest::newRow("small, default camera")
        << QSize(120, 120) << -30.0 << 40.0 << 0.0 << 0.8 << QPointF() << 5;
    QTest::newRow("turned the other way")
        << QSize(200, 160) << 60.0 << 20.0 << 0.0 << 0.8 << QPointF() << 5;
    QTest::newRow("from high behind")
        << QSize(160, 200) << -150.0 << 75.0 << 0.0 << 0.8 << QPointF() << 5;
    QTest::newRow("from below") << QSize(180, 180) << 20.0 << -35.0 << 0.0 << 0.8 << QPointF() << 5;
    QTest::newRow("rolled") << QSize(180, 180) << -45.0 << 30.0 << 35.0 << 0.8 << QPointF() << 5;
    // The cube fills the picture; the labels that would fall off it are left out.
    QTest::newRow("zoomed in") << QSize(200, 200) << -30.0 << 40.0 << 0.0 << 1.3 << QPointF() << 1;
    QTest::newRow("panned aside") << QSize(200, 200) << -30.0 << 40.0 << 0.0 << 0.8
                                  << QPointF(0.25, -0.2) << 5;
}

// Tick labels of all three axes lie wholly inside the picture and never cover each other, also
// where wide value labels meet the edge of a small picture.
void TestCubeGraphPainter::labelsInsideTheImage()
{
    QFETCH(QSize, size);
    QFETCH(double, yaw);
    QFETCH(double, pitch);
    QFETCH(double, roll);
    QFETCH(double, zoom);
    QFETCH(QPointF, pan);
    QFETCH(int, fewestLabels);
    MinMaxMultiDimData data;
    QList<double> values = waveValues(11, 11);
    for (double &value : values)
        value = 600.0 + 600.0 * value;
    prepareCube(data, 11, 11, values, size);
    data.finishScan(true);
    PerspectiveSettings camera = data.perspectiveSettings();
    camera.yaw = yaw;
    camera.pitch = pitch;
    camera.roll = roll;
    camera.zoom = zoom;
    camera.pan = QVector3D(float(pan.x()), float(pan.y()), 0.0f);
    data.setPerspectiveSettings(camera);
    paintInto(data, size);

    const QList<QRectF> &labels = data.cubeGraphPainter().labelRects();
    QVERIFY(labels.size() >= fewestLabels);
    const QRectF image(QPointF(0, 0), size);
    for (qsizetype k = 0; k < labels.size(); ++k) {
        QVERIFY2(image.contains(labels[k]), qPrintable(QStringLiteral("label %1 at %2,%3 %4x%5")
                                                           .arg(k)
                                                           .arg(labels[k].x())
                                                           .arg(labels[k].y())
                                                           .arg(labels[k].width())
                                                           .arg(labels[k].height())));
        for (qsizetype other = 0; other < k; ++other)
            QVERIFY(!labels[k].intersects(labels[other]));
    }
}

QTEST_MAIN(TestCubeGraphPainter)
#include "tst_cubegraphpainter.moc"
