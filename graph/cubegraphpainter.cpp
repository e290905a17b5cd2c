#include "graph/cubegraphpainter.h"

#include "graph/colourramp.h"
#include "graph/cubeaxespainter.h"
#include "graph/minmaxmultidimdata.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace {

const QColor backgroundColour(24, 1, 0);
constexpr float fieldOfView = 75.0f;
constexpr float nearPlane = 1.0f;
constexpr float farPlane = -1.0f;
constexpr double quarterPi = 0.7853981633974483;
constexpr double rightAngle = 1.5707963268;
constexpr int maxImageSide = 8192;
constexpr int wireframeAlpha = 20;
// Brightening a hundredfold already turns the surface colours white; a light very near a face
// or very intense must not push the factor beyond what QColor::lighter multiplies without
// overflowing.
constexpr double maxLightingFactor = 10000.0;

struct Grid
{
    int columns = 0;
    int rows = 0;
    DataDimension first;
    DataDimension second;
};

Grid gridOf(const MinMaxMultiDimData &data)
{
    Grid grid;
    const QList<int> free = data.freeIndexPositions(data.paintIndices());
    if (free.size() != 2)
        return grid;
    grid.first = data.dimensions().at(free[0]);
    grid.second = data.dimensions().at(free[1]);
    grid.columns = grid.first.count;
    grid.rows = grid.second.count;
    return grid;
}

// The value shown at the floor and the span up to the lid; a constant surface floats halfway.
void valueScale(const MinMaxMultiDimData &data, double &lo, double &range)
{
    lo = data.minimum();
    range = data.maximum() - data.minimum();
    if (range <= 0.0) {
        range = 1.0;
        lo -= 0.5;
    }
}

// Brightness factor (a percentage for QColor::lighter) of a point p with unit normal n lit by
// the point lights: the nearer a light and the closer it lies to the direction of the eye's
// reflection about n, the brighter.
double lightingFactor(const QVector3D &p, const QVector3D &n, const QVector3D &eye,
                      const QList<CubeLight> &lights)
{
    const QVector3D reflected = 2.0f * QVector3D::dotProduct(eye, n) * n - eye;
    const QVector3D towardsReflection = (reflected - p).normalized();
    double total = 0.0;
    for (const CubeLight &light : lights) {
        const QVector3D d = light.toVector3D() - p;
        const float distanceSquared = d.lengthSquared();
        if (distanceSquared <= 0.0f)
            continue;
        const float cosine = QVector3D::dotProduct(d.normalized(), towardsReflection);
        const double theta = std::acos(std::clamp(double(cosine), -1.0, 1.0));
        const double spread =
            theta > rightAngle ? 0.75 + 0.25 * std::sin(theta) : 0.25 + 0.75 * std::sin(theta);
        total += light.w() / (spread * distanceSquared);
    }
    return std::clamp(total, 1.0, maxLightingFactor);
}

// Corners of the smallest box holding one position (projected or world) of a face's vertices.
std::pair<QVector3D, QVector3D> faceBounds(const CubeFace &face,
                                           const std::vector<CubeVertex> &vertices,
                                           QVector3D CubeVertex::*position)
{
    QVector3D low = vertices[face.vertices.front()].*position;
    QVector3D high = low;
    for (int v : face.vertices) {
        const QVector3D &p = vertices[v].*position;
        low =
            QVector3D(std::min(low.x(), p.x()), std::min(low.y(), p.y()), std::min(low.z(), p.z()));
        high = QVector3D(std::max(high.x(), p.x()), std::max(high.y(), p.y()),
                         std::max(high.z(), p.z()));
    }
    return {low, high};
}

bool isFinite(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

CubeGraphPainter::CubeGraphPainter()
    : m_corners{QVector3D(0.5f, -0.5f, 0.5f),  QVector3D(0.5f, 0.5f, 0.5f),
                QVector3D(-0.5f, 0.5f, 0.5f),  QVector3D(-0.5f, -0.5f, 0.5f),
                QVector3D(0.5f, -0.5f, -0.5f), QVector3D(0.5f, 0.5f, -0.5f),
                QVector3D(-0.5f, 0.5f, -0.5f), QVector3D(-0.5f, -0.5f, -0.5f)}
{}

bool CubeGraphPainter::paint(const MinMaxMultiDimData &data, QPainter &painter, const QRect &rect,
                             const Overlays &overlays)
{
    const bool rendered = needsRendering(data) && render(data, overlays);
    if (!m_image.isNull())
        painter.drawImage(QRect(rect.left(), rect.top(), rect.right() - rect.left() + 1,
                                rect.bottom() - rect.top() + 1),
                          m_image);
    return rendered;
}

bool CubeGraphPainter::needsRendering(const MinMaxMultiDimData &data) const
{
    return data.dataChanged() || data.extractionDirty() || data.perspectiveDirty() ||
           data.cubeDirty();
}

bool CubeGraphPainter::render(const MinMaxMultiDimData &data, const Overlays &overlays)
{
    QElapsedTimer timer;
    timer.start();
    if (data.dataChanged())
        m_meshStale = true;
    if (!prepareImage(data))
        return false;
    const PerspectiveSettings &perspective = data.perspectiveSettings();
    if (m_meshStale || data.extractionDirty()) {
        buildMesh(data);
        project(perspective);
    } else if (data.perspectiveDirty()) {
        project(perspective);
    }
    mapToPixels(perspective);

    const DrawSettings3DCube &settings = data.drawSettings3DCube();
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::Antialiasing,
                          settings.smooth && !settings.fastDraw && !settings.noAntialiasing);
    painter.setClipRect(m_image.rect());
    if (overlays.before)
        overlays.before(painter);
    drawAxes(painter, data, false);
    drawSurface(painter, data);
    drawAxes(painter, data, true);
    if (overlays.after)
        overlays.after(painter);
    ++m_counts.renderings;
    if (!settings.fastDraw)
        m_lastDrawingTime = timer.elapsed();
    return true;
}

bool CubeGraphPainter::prepareImage(const MinMaxMultiDimData &data)
{
    const DrawSettings3DCube &settings = data.drawSettings3DCube();
    const Grid grid = gridOf(data);
    const double width = std::round(settings.renderScale * settings.imageSize.width());
    const double height = std::round(settings.renderScale * settings.imageSize.height());
    const bool usable = std::isfinite(data.maximum() - data.minimum()) && grid.columns > 1 &&
                        grid.rows > 1 && settings.imageSize.width() > 0 &&
                        settings.imageSize.height() > 0 && width >= 1.0 && height >= 1.0;
    if (!usable) {
        m_image = QImage();
        m_labelRects.clear();
        return false;
    }
    m_image =
        QImage(int(std::min(width, double(maxImageSide))),
               int(std::min(height, double(maxImageSide))), QImage::Format_ARGB32_Premultiplied);
    m_image.fill(backgroundColour);
    return true;
}

void CubeGraphPainter::buildMesh(const MinMaxMultiDimData &data)
{
    const Grid grid = gridOf(data);
    QList<double> values = data.extractValues(data.paintIndices());
    values.resize(qsizetype(grid.columns) * grid.rows, qQNaN());
    double lo = 0.0;
    double range = 1.0;
    valueScale(data, lo, range);
    m_mesh.build(values, grid.columns, grid.rows, lo, range);
    if (data.dataExtractionSettings().fastExtraction) {
        const int faces = int(m_mesh.faces().size());
        const double k = (data.scanComplete() && faces <= 1000) ? 0.1 : 0.9;
        m_mesh.mergeCoplanar(int(std::floor(k * std::sqrt(double(faces)) / 10.0)));
    }
    m_meshStale = false;
    ++m_counts.meshBuilds;
}

void CubeGraphPainter::project(const PerspectiveSettings &perspective)
{
    QMatrix4x4 rotation;
    rotation.rotate(float(perspective.pitch), 1.0f, 0.0f, 0.0f);
    rotation.rotate(float(perspective.yaw), 0.0f, 1.0f, 0.0f);
    rotation.rotate(float(perspective.roll), 0.0f, 0.0f, 1.0f);
    m_model = rotation;
    m_model.scale(1.0f, float(perspective.heightScale), 1.0f);
    m_view.setToIdentity();
    m_view.lookAt(perspective.eye, QVector3D(), QVector3D(0.0f, 1.0f, 0.0f));
    m_view.scale(float(perspective.zoom));
    m_projection.setToIdentity();
    m_projection.perspective(fieldOfView, 1.0f, nearPlane, farPlane);

    const QMatrix4x4 toProjected = m_projection * m_view * m_model;
    QMatrix4x4 toWorld = m_model;
    toWorld.scale(float(perspective.zoom));
    for (size_t c = 0; c < m_corners.size(); ++c)
        m_projectedCorners[c] = toProjected.map(m_corners[c]);
    for (CubeVertex &vertex : m_mesh.vertices()) {
        vertex.projected = toProjected.map(vertex.model);
        vertex.world = toWorld.map(vertex.model);
    }

    // Normals go through the rotation and a softened inverse of the height scale: a flattened
    // surface keeps some of its relief in the lighting.
    QMatrix4x4 normalMatrix = rotation;
    normalMatrix.scale(1.0f, float(quarterPi / std::atan(perspective.heightScale)), 1.0f);
    const std::vector<CubeVertex> &vertices = m_mesh.vertices();
    m_order.clear();
    for (int f = 0; f < int(m_mesh.faces().size()); ++f) {
        CubeFace &face = m_mesh.faces()[f];
        if (face.removed)
            continue;
        face.worldNormal = normalMatrix.mapVector(face.normal).normalized();
        face.worldAveragedNormal = normalMatrix.mapVector(face.averagedNormal).normalized();
        std::tie(face.boxMin, face.boxMax) = faceBounds(face, vertices, &CubeVertex::projected);
        face.centre = (face.boxMin + face.boxMax) * 0.5f;
        m_order.push_back(f);
    }
    // Painter's algorithm: the farthest face first. Nearer points have the more negative depth.
    const std::vector<CubeFace> &faces = m_mesh.faces();
    std::stable_sort(m_order.begin(), m_order.end(),
                     [&faces](int a, int b) { return faces[a].centre.z() > faces[b].centre.z(); });
    ++m_counts.projections;
}

void CubeGraphPainter::mapToPixels(const PerspectiveSettings &perspective)
{
    m_screen.setToIdentity();
    m_screen.scale(float(m_image.width()), float(m_image.height()), 1.0f);
    m_screen.translate(0.5f, 0.5f, 0.0f);
    m_screen.scale(1.0f, -1.0f, 1.0f);
    m_screen.translate(-perspective.pan.x(), -perspective.pan.y(), 0.0f);
    for (CubeVertex &vertex : m_mesh.vertices())
        vertex.pixel = m_screen.map(vertex.projected).toPointF();
    ++m_counts.pixelMappings;
}

void CubeGraphPainter::drawAxes(QPainter &painter, const MinMaxMultiDimData &data, bool front)
{
    if (front)
        m_labelRects.clear();
    // A camera placed at the cube's centre projects nothing sensible; draw no frame then.
    const bool finite =
        std::all_of(m_projectedCorners.begin(), m_projectedCorners.end(), [](const QVector3D &p) {
            return std::isfinite(p.x()) && std::isfinite(p.y()) && std::isfinite(p.z());
        });
    if (!finite)
        return;
    const Grid grid = gridOf(data);
    double lo = 0.0;
    double range = 1.0;
    valueScale(data, lo, range);
    const CubeAxisRanges ranges{
        grid.first.from, grid.first.to, grid.second.from, grid.second.to, lo, lo + range};
    const CubeAxesPainter axes(m_corners, m_projection * m_view * m_model, m_screen, ranges);
    const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
    if (front)
        m_labelRects = axes.drawFront(painter, antialiased);
    else
        axes.drawBack(painter, antialiased);
}

namespace {

// What every face of one rendering shares.
struct SurfaceStyle
{
    QColor faceColour;
    bool wireframe = false;
    bool antialiased = false;
    bool showPoints = false;
    bool scanComplete = false;
    bool fastDraw = false;
    bool averagedNormals = true;
    bool triangleRects = true;
    double edgeAlpha = 1.0;
    double markerAlpha = 1.0;
    double pointSize = 1.0;
    QColor wireframeColour;
    QVector3D eye;
    QList<CubeLight> lights;
};

QVector3D lightingPoint(const CubeFace &face, const std::vector<CubeVertex> &vertices,
                        bool boxCentre)
{
    if (boxCentre) {
        const auto [low, high] = faceBounds(face, vertices, &CubeVertex::world);
        return (low + high) * 0.5f;
    }
    QVector3D sum;
    for (int v : face.vertices)
        sum += vertices[v].world;
    return sum / float(face.vertices.size());
}

// Lines of the face's outline that follow the data grid; the diagonals of the triangulation
// are left out so the surface shows its rows and columns.
void drawGridEdges(QPainter &painter, const CubeFace &face, const std::vector<CubeVertex> &vertices,
                   const QColor &colour)
{
    QVarLengthArray<QPointF, 16> plain;
    QVarLengthArray<QPointF, 16> highlighted;
    const size_t n = face.vertices.size();
    for (size_t k = 0; k < n; ++k) {
        const CubeVertex &a = vertices[face.vertices[k]];
        const CubeVertex &b = vertices[face.vertices[(k + 1) % n]];
        if (a.column != b.column && a.row != b.row)
            continue;
        auto &target = (a.highlighted && b.highlighted) ? highlighted : plain;
        target.append(a.pixel);
        target.append(b.pixel);
    }
    if (!plain.isEmpty()) {
        painter.setPen(QPen(colour, 1.0));
        painter.drawLines(plain.constData(), int(plain.size() / 2));
    }
    if (!highlighted.isEmpty()) {
        painter.setPen(QPen(Qt::yellow, 1.0));
        painter.drawLines(highlighted.constData(), int(highlighted.size() / 2));
    }
}

void drawFace(QPainter &painter, const CubeFace &face, const std::vector<CubeVertex> &vertices,
              const SurfaceStyle &style, double light)
{
    QVarLengthArray<QPointF, 16> outline;
    for (int v : face.vertices)
        outline.append(vertices[v].pixel);
    if (style.wireframe) {
        QColor colour = style.wireframeColour;
        colour.setAlpha(wireframeAlpha);
        painter.setPen(QPen(colour, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(outline.constData(), int(outline.size()));
        return;
    }
    const QColor fill = style.faceColour.lighter(int(std::max(1.0, light)));
    const double alpha = fill.alphaF();
    if (alpha > 0.05) {
        QColor edge = fill;
        edge.setAlphaF(float(std::pow(alpha, 6.0)));
        painter.setPen(QPen(edge, 1.0));
        painter.setBrush(fill);
        painter.drawPolygon(outline.constData(), int(outline.size()));
    }
    QColor gridColour = fill;
    gridColour.setAlphaF(float(style.edgeAlpha));
    drawGridEdges(painter, face, vertices, gridColour);
}

void drawMarker(QPainter &painter, const QPointF &centre, const QColor &colour, double radius,
                bool fastDraw)
{
    if (!fastDraw) {
        painter.setBrush(colour);
        painter.drawEllipse(centre, radius, radius);
    } else if (radius < 1.5) {
        painter.setPen(colour);
        painter.drawPoint(centre);
    } else {
        painter.fillRect(QRectF(centre.x() - radius / 2, centre.y() - radius / 2, radius, radius),
                         colour);
    }
}

// Each vertex's marker is drawn once, when enough of the faces around it have been drawn that
// it sits among them in depth: after the third-last of its faces for an inner vertex.
void drawPoints(QPainter &painter, const CubeFace &face, std::vector<CubeVertex> &vertices,
                const SurfaceStyle &style, double light)
{
    float depth = 0.0f;
    QVarLengthArray<int, 16> order;
    for (int v : face.vertices) {
        depth += vertices[v].projected.z();
        order.append(v);
    }
    double size = style.pointSize * -(depth / float(face.vertices.size()));
    QPen outline(Qt::NoPen);
    if (size > 2.0 && style.antialiased) {
        QColor white(Qt::white);
        white.setAlphaF(float(std::min(0.2, size / 10.0)));
        outline = QPen(white, 0.15, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    }
    size = std::max(size, 0.8);
    std::sort(order.begin(), order.end(), [&vertices](int a, int b) {
        return vertices[a].projected.z() > vertices[b].projected.z();
    });
    painter.setPen(outline);
    for (int v : order) {
        CubeVertex &vertex = vertices[v];
        ++vertex.pointCounter;
        if (vertex.pointDrawn || vertex.pointCounter < int(vertex.faces.size()))
            continue;
        if (vertex.missing && !style.scanComplete)
            continue;
        vertex.pointDrawn = true;
        QColor colour;
        double radius = 0.9 * size;
        if (vertex.highlighted) {
            colour = Qt::yellow;
            radius = 1.2 * size;
        } else if (vertex.missing) {
            colour = Qt::red;
            radius = 0.6 * size;
        } else {
            colour = QColor::fromRgb(rampColourAt(vertex.value + 0.5));
        }
        colour = colour.lighter(int(light));
        colour.setAlphaF(float(style.markerAlpha));
        drawMarker(painter, vertex.pixel, colour, radius, style.fastDraw);
        if (style.fastDraw)
            painter.setPen(outline);
    }
}

bool isDrawable(const CubeFace &face, const std::vector<CubeVertex> &vertices)
{
    return std::all_of(face.vertices.begin(), face.vertices.end(),
                       [&vertices](int v) { return isFinite(vertices[v].pixel); });
}

} // namespace

void CubeGraphPainter::drawSurface(QPainter &painter, const MinMaxMultiDimData &data)
{
    const DrawSettings3DCube &settings = data.drawSettings3DCube();
    std::vector<CubeVertex> &vertices = m_mesh.vertices();
    const int column = settings.highlightColumn;
    const int row = settings.highlightRow;
    const bool highlight =
        column >= 0 && column < m_mesh.columns() && row >= 0 && row < m_mesh.rows();
    for (CubeVertex &vertex : vertices) {
        vertex.highlighted = highlight && (vertex.column == column || vertex.row == row);
        vertex.pointCounter = 3;
        vertex.pointDrawn = false;
    }

    SurfaceStyle style;
    style.faceColour = settings.surfaceColour.darker(settings.showPoints ? 250 : 130);
    style.faceColour.setAlphaF(float(settings.opacity));
    style.wireframe =
        style.faceColour == QColor(Qt::transparent) || !data.scanComplete() || settings.fastDraw;
    style.antialiased = painter.testRenderHint(QPainter::Antialiasing);
    style.showPoints = settings.showPoints;
    style.scanComplete = data.scanComplete();
    style.fastDraw = settings.fastDraw;
    style.averagedNormals = settings.averagedNormals;
    style.triangleRects = settings.triangleRects;
    style.edgeAlpha = std::min(1.0, 2.0 * settings.opacity + 0.2);
    style.markerAlpha = style.edgeAlpha;
    style.pointSize = std::min(5.0, data.perspectiveSettings().zoom * m_image.width() * 0.9 /
                                        std::max(m_mesh.columns(), m_mesh.rows()));
    style.wireframeColour = settings.wireframeColour;
    style.eye = data.perspectiveSettings().eye;
    style.lights = settings.lights;

    const std::vector<CubeFace> &faces = m_mesh.faces();
    for (int f : m_order) {
        const CubeFace &face = faces[f];
        if (!isDrawable(face, vertices))
            continue;
        const QVector3D normal =
            style.averagedNormals ? face.worldAveragedNormal : face.worldNormal;
        const double light = lightingFactor(lightingPoint(face, vertices, style.triangleRects),
                                            normal, style.eye, style.lights);
        drawFace(painter, face, vertices, style, light);
        if (style.showPoints)
            drawPoints(painter, face, vertices, style, light);
    }
}
