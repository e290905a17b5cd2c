#include "graph/cubemesh.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double mergeAngle = 0.1;

void replaceOnce(std::vector<int> &list, int from, int to)
{
    list.erase(std::remove(list.begin(), list.end(), from), list.end());
    if (std::find(list.begin(), list.end(), to) == list.end())
        list.push_back(to);
}

int positionOf(const std::vector<int> &list, int value)
{
    const auto it = std::find(list.begin(), list.end(), value);
    return it == list.end() ? -1 : int(it - list.begin());
}

} // namespace

void CubeMesh::build(const QList<double> &values, int columns, int rows, double lo, double range)
{
    m_columns = columns;
    m_rows = rows;
    m_vertices.assign(size_t(columns) * rows, CubeVertex());
    m_faces.clear();
    m_faces.reserve(size_t(2) * (columns - 1) * (rows - 1));
    for (int b = 0; b < rows; ++b) {
        for (int a = 0; a < columns; ++a) {
            CubeVertex &vertex = m_vertices[size_t(b) * columns + a];
            const double v = values.at(qsizetype(b) * columns + a);
            vertex.column = a;
            vertex.row = b;
            vertex.missing = std::isnan(v);
            // Values outside an imposed range stay on the cube's lid or floor.
            vertex.value = vertex.missing ? qQNaN() : std::clamp((v - lo) / range, 0.0, 1.0) - 0.5;
            vertex.model = QVector3D(float(double(a) / (columns - 1) - 0.5),
                                     vertex.missing ? -0.5f : float(vertex.value),
                                     float(-(double(b) / (rows - 1) - 0.5)));
        }
    }
    for (int b = 1; b < rows; ++b) {
        for (int a = 1; a < columns; ++a) {
            const int here = b * columns + a;
            const int diagonal = here - columns - 1;
            addTriangle(here, diagonal, here - 1);
            addTriangle(here, here - columns, diagonal);
        }
    }
    linkNeighbours();
    computeNormals();
}

void CubeMesh::addTriangle(int a, int b, int c)
{
    const int index = int(m_faces.size());
    CubeFace face;
    face.vertices = {a, b, c};
    face.touchesMissing = m_vertices[a].missing || m_vertices[b].missing || m_vertices[c].missing;
    m_faces.push_back(std::move(face));
    for (int v : {a, b, c})
        m_vertices[v].faces.push_back(index);
}

// Cell (a, b) of the grid holds triangle 2c, the upper left half, and 2c + 1, the lower right
// half, c counting cells row by row. Besides each other, the upper left half borders the lower
// right half of the cell to its left and of the cell below it in the list of rows; the lower
// right half the upper left half of the cell to its right and of the row before.
void CubeMesh::linkNeighbours()
{
    const int cellColumns = m_columns - 1;
    const int cellRows = m_rows - 1;
    for (int b = 0; b < cellRows; ++b) {
        for (int a = 0; a < cellColumns; ++a) {
            const int cell = b * cellColumns + a;
            std::vector<int> &upper = m_faces[size_t(2) * cell].neighbours;
            std::vector<int> &lower = m_faces[size_t(2) * cell + 1].neighbours;
            upper.reserve(3);
            lower.reserve(3);
            upper.push_back(2 * cell + 1);
            lower.push_back(2 * cell);
            if (a > 0)
                upper.push_back(2 * (cell - 1) + 1);
            if (b + 1 < cellRows)
                upper.push_back(2 * (cell + cellColumns) + 1);
            if (a + 1 < cellColumns)
                lower.push_back(2 * (cell + 1));
            if (b > 0)
                lower.push_back(2 * (cell - cellColumns));
        }
    }
}

// Triangles wind the same way, so the cross product below points up out of every face.
void CubeMesh::computeNormals()
{
    for (CubeFace &face : m_faces) {
        const QVector3D &p0 = m_vertices[face.vertices[0]].model;
        const QVector3D &p1 = m_vertices[face.vertices[1]].model;
        const QVector3D &p2 = m_vertices[face.vertices[2]].model;
        face.normal = QVector3D::crossProduct(p2 - p0, p1 - p0).normalized();
    }
    // A vertex next to a missing value would be tilted by the faces that fall to the floor
    // there, so those faces only count when nothing else touches the vertex.
    for (CubeVertex &vertex : m_vertices) {
        QVector3D sum;
        QVector3D fallback;
        for (int f : vertex.faces) {
            fallback += m_faces[f].normal;
            if (!m_faces[f].touchesMissing || vertex.missing)
                sum += m_faces[f].normal;
        }
        vertex.normal = (sum.isNull() ? fallback : sum).normalized();
    }
    for (CubeFace &face : m_faces) {
        QVector3D sum;
        for (int v : face.vertices)
            sum += m_vertices[v].normal;
        face.averagedNormal = sum.isNull() ? face.normal : sum.normalized();
    }
}

int CubeMesh::faceCount() const
{
    return int(std::count_if(m_faces.begin(), m_faces.end(),
                             [](const CubeFace &face) { return !face.removed; }));
}

void CubeMesh::mergeCoplanar(int maxAbsorbed)
{
    if (maxAbsorbed <= 0)
        return;
    for (int f = 0; f < int(m_faces.size()); ++f) {
        if (m_faces[f].removed || m_faces[f].touchesMissing)
            continue;
        // The neighbour list grows while faces are absorbed, so it is walked by index.
        for (size_t k = 0; k < m_faces[f].neighbours.size() && m_faces[f].absorbed < maxAbsorbed;
             ++k) {
            const int g = m_faces[f].neighbours[k];
            const CubeFace &other = m_faces[g];
            if (other.removed || other.touchesMissing || other.absorbed > 0)
                continue;
            const float cosine = QVector3D::dotProduct(m_faces[f].normal, other.normal);
            if (std::acos(std::clamp(cosine, -1.0f, 1.0f)) >= mergeAngle)
                continue;
            if (absorb(f, g))
                ++m_faces[f].absorbed;
        }
    }
}

// Joins face other into face into when the two polygons share exactly one edge (two vertices
// that follow each other in both); anything else would pinch the outline or enclose a hole.
bool CubeMesh::absorb(int into, int other)
{
    std::vector<int> &outline = m_faces[into].vertices;
    const std::vector<int> &added = m_faces[other].vertices;
    int shared = 0;
    int edgeStart = -1;
    for (size_t i = 0; i < outline.size(); ++i) {
        if (positionOf(added, outline[i]) < 0)
            continue;
        ++shared;
        const int next = outline[(i + 1) % outline.size()];
        const int j = positionOf(added, next);
        if (j >= 0 && added[(j + 1) % added.size()] == outline[i])
            edgeStart = int(i);
    }
    if (shared != 2 || edgeStart < 0)
        return false;

    // Walk the absorbed polygon from the shared edge's start round to its end, skipping both.
    const int start = outline[edgeStart];
    const int j = positionOf(added, start);
    std::vector<int> inserted;
    for (size_t step = 1; step + 1 < added.size(); ++step)
        inserted.push_back(added[(j + step) % added.size()]);
    outline.insert(outline.begin() + edgeStart + 1, inserted.begin(), inserted.end());

    CubeFace &absorbed = m_faces[other];
    absorbed.removed = true;
    for (int v : absorbed.vertices)
        replaceOnce(m_vertices[v].faces, other, into);
    for (int h : absorbed.neighbours) {
        if (h == into)
            continue;
        replaceOnce(m_faces[h].neighbours, other, into);
        if (positionOf(m_faces[into].neighbours, h) < 0)
            m_faces[into].neighbours.push_back(h);
    }
    return true;
}
