#ifndef CUBEGRAPHPAINTER_H
#define CUBEGRAPHPAINTER_H

#include "graph/cubemesh.h"
#include "graph/datasettings.h"

#include <QImage>
#include <QList>
#include <QMatrix4x4>
#include <QRect>
#include <QRectF>

#include <array>
#include <functional>
#include <vector>

class MinMaxMultiDimData;
class QPainter;

// Draws a graph with two free dimensions as a lit, semi-transparent surface inside a unit cube
// seen in perspective. The picture is rendered into an off-screen image only when the data, the
// extraction, the camera or the cube settings changed, and only the stages those changes need
// are redone: mesh, projection, mapping to pixels. Every paint then blits the image.
class CubeGraphPainter
{
public:
    // How often each stage ran; lets tests and benchmarks see what a change rebuilt.
    struct StageCounts
    {
        int meshBuilds = 0;
        int projections = 0;
        int pixelMappings = 0;
        int renderings = 0;
    };

    // Called with the painter on the cube's picture, before and after the surface is drawn.
    using Overlay = std::function<void(QPainter &)>;
    struct Overlays
    {
        Overlay before;
        Overlay after;
    };

    CubeGraphPainter();

    // Blits the picture into rect, rendering it first when the data's change flags ask for it.
    // Reports whether it rendered: the data may then lower those flags.
    bool paint(const MinMaxMultiDimData &data, QPainter &painter, const QRect &rect,
               const Overlays &overlays);

    const QImage &image() const { return m_image; }
    // Duration of the last full-quality rendering in milliseconds.
    qint64 lastDrawingTime() const { return m_lastDrawingTime; }
    const StageCounts &stageCounts() const { return m_counts; }
    const CubeMesh &mesh() const { return m_mesh; }
    // Where the tick labels of the last rendering went, in image pixels.
    const QList<QRectF> &labelRects() const { return m_labelRects; }

private:
    bool needsRendering(const MinMaxMultiDimData &data) const;
    bool render(const MinMaxMultiDimData &data, const Overlays &overlays);
    bool prepareImage(const MinMaxMultiDimData &data);
    void buildMesh(const MinMaxMultiDimData &data);
    void project(const PerspectiveSettings &perspective);
    void mapToPixels(const PerspectiveSettings &perspective);
    void drawSurface(QPainter &painter, const MinMaxMultiDimData &data);
    void drawAxes(QPainter &painter, const MinMaxMultiDimData &data, bool front);

    std::array<QVector3D, 8> m_corners;
    std::array<QVector3D, 8> m_projectedCorners;
    CubeMesh m_mesh;
    // Faces in drawing order, farthest first.
    std::vector<int> m_order;
    QMatrix4x4 m_model;
    QMatrix4x4 m_view;
    QMatrix4x4 m_projection;
    QMatrix4x4 m_screen;
    QImage m_image;
    QList<QRectF> m_labelRects;
    // A data change seen while no image could be made still has to rebuild the mesh later.
    bool m_meshStale = true;
    qint64 m_lastDrawingTime = 0;
    StageCounts m_counts;
};

#endif // CUBEGRAPHPAINTER_H
