#ifndef CUBEMESH_H
#define CUBEMESH_H

#include <QList>
#include <QPointF>
#include <QVector3D>

#include <vector>

// One data point of the cube surface.
struct CubeVertex
{
    // Position inside the unit cube: x along the first free dimension, y the value, z along the
    // second free dimension (negated, so that its first row is at the front).
    QVector3D model;
    // Position after rotation, height scale and zoom, in the frame of the eye and the lights.
    QVector3D world;
    // Position after the perspective division; z is the depth (more negative is nearer).
    QVector3D projected;
    QPointF pixel;
    // Model-space unit normal averaged over the faces around the vertex.
    QVector3D normal;
    // The value mapped to -0.5 .. 0.5 (the model height), NaN when missing.
    double value = 0.0;
    bool missing = false;
    bool highlighted = false;
    bool pointDrawn = false;
    int pointCounter = 0;
    int column = 0;
    int row = 0;
    std::vector<int> faces;
};

// A polygon of the surface: a triangle as built, larger once coplanar neighbours are merged.
struct CubeFace
{
    std::vector<int> vertices;
    std::vector<int> neighbours;
    // Model-space unit normals: the face's own and the mean of its vertices' averaged normals.
    QVector3D normal;
    QVector3D averagedNormal;
    // The same two normals turned into the world frame by the projection.
    QVector3D worldNormal;
    QVector3D worldAveragedNormal;
    // Bounding box of the projected vertices and its centre, whose z is the depth key.
    QVector3D boxMin;
    QVector3D boxMax;
    QVector3D centre;
    bool removed = false;
    // How many neighbours this face has absorbed; a face that has grown is not absorbed in turn,
    // so no polygon holds more than the merge limit allows.
    int absorbed = 0;
    // A face with a missing corner keeps its shape: it is never merged.
    bool touchesMissing = false;
};

// The triangulated surface of a grid of columns x rows values, with face adjacency and the
// optional merging of nearly coplanar neighbours into larger polygons.
class CubeMesh
{
public:
    // values holds columns x rows entries, the column index varying fastest. lo and range map a
    // value to the model height: lo at the bottom of the cube, lo + range at the top.
    void build(const QList<double> &values, int columns, int rows, double lo, double range);
    // Merges neighbours whose normals differ by less than 0.1 rad; each face absorbs at most
    // maxAbsorbed of them.
    void mergeCoplanar(int maxAbsorbed);

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int faceCount() const;
    std::vector<CubeVertex> &vertices() { return m_vertices; }
    const std::vector<CubeVertex> &vertices() const { return m_vertices; }
    std::vector<CubeFace> &faces() { return m_faces; }
    const std::vector<CubeFace> &faces() const { return m_faces; }

private:
    void addTriangle(int a, int b, int c);
    void linkNeighbours();
    void computeNormals();
    bool absorb(int into, int other);

    int m_columns = 0;
    int m_rows = 0;
    std::vector<CubeVertex> m_vertices;
    std::vector<CubeFace> m_faces;
};

#endif // CUBEMESH_H
