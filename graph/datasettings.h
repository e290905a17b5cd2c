#ifndef DATASETTINGS_H
#define DATASETTINGS_H

// Value types that a MinMaxMultiDimData takes and hands on through its setters and signals.
// Watches share them with each other, so they are plain copyable values with equality.

#include <QColor>
#include <QList>
#include <QMetaType>
#include <QSize>
#include <QVector3D>
#include <QVector4D>

// Which dimensions a graph shows: one entry per dimension from the first, -1 marks a free
// (iterated) dimension, any other entry fixes its dimension at that index.
struct DataExtractionSettings
{
    QList<int> indices;
    // Asks the cube painter for the cheaper mesh with coplanar faces merged.
    bool fastExtraction = false;

    friend bool operator==(const DataExtractionSettings &a, const DataExtractionSettings &b)
    {
        return a.indices == b.indices && a.fastExtraction == b.fastExtraction;
    }
    friend bool operator!=(const DataExtractionSettings &a, const DataExtractionSettings &b)
    {
        return !(a == b);
    }
};

// Camera of the cube graph. Angles are in degrees.
struct PerspectiveSettings
{
    QVector3D eye{0.0f, 0.0f, 2.0f};
    QVector3D pan{0.0f, 0.0f, 0.0f};
    double yaw = -30.0;
    double pitch = 40.0;
    double roll = 0.0;
    double heightScale = 0.6;
    double zoom = 0.8;

    friend bool operator==(const PerspectiveSettings &a, const PerspectiveSettings &b)
    {
        return a.eye == b.eye && a.pan == b.pan && a.yaw == b.yaw && a.pitch == b.pitch &&
               a.roll == b.roll && a.heightScale == b.heightScale && a.zoom == b.zoom;
    }
    friend bool operator!=(const PerspectiveSettings &a, const PerspectiveSettings &b)
    {
        return !(a == b);
    }
};

struct DrawSettings2D
{
    double opacity = 1.0;
    // Keeps the previous curve of a one-slider scan as a fading stacked curve.
    bool smooth = true;
    // Free for the owner of the curve: carried along with the settings but not compared by
    // setDrawSettings2D(), so changing it alone changes nothing.
    int tag = 0;

    friend bool operator==(const DrawSettings2D &a, const DrawSettings2D &b)
    {
        return a.opacity == b.opacity && a.smooth == b.smooth && a.tag == b.tag;
    }
    friend bool operator!=(const DrawSettings2D &a, const DrawSettings2D &b) { return !(a == b); }
};

struct DrawSettings3DFlat
{
    // Scale the heat map bilinearly instead of as blocks.
    bool smooth = true;

    friend bool operator==(const DrawSettings3DFlat &a, const DrawSettings3DFlat &b)
    {
        return a.smooth == b.smooth;
    }
    friend bool operator!=(const DrawSettings3DFlat &a, const DrawSettings3DFlat &b)
    {
        return !(a == b);
    }
};

// A point light of the cube painter: position (x, y, z) and intensity (w).
using CubeLight = QVector4D;

struct DrawSettings3DCube
{
    double opacity = 0.8;
    // Size of the cube image cache; no image is made while either side is 0.
    QSize imageSize{0, 0};
    bool smooth = true;
    // First reduced-quality flag: no antialiasing, wireframe faces, simple point markers.
    bool fastDraw = false;
    // Second reduced-quality flag: antialiasing off only.
    bool noAntialiasing = false;
    // The cache image is renderScale x imageSize pixels.
    double renderScale = 1.0;
    // The aux* fields and the low/high colours are carried and compared for the views that
    // share these settings; the painters do not read them.
    bool auxFlagA = true;
    bool auxFlagB = true;
    QColor surfaceColour{139, 200, 55};
    bool auxFlagC = false;
    bool showPoints = true;
    QColor lowColour{Qt::blue};
    QColor highColour{Qt::red};
    QColor wireframeColour{Qt::white};
    double auxValue = 0.0;
    // Light a face with normals averaged over the faces that share a vertex.
    bool averagedNormals = true;
    // Take a face's lighting at its bounding-box centre instead of the mean of its vertices.
    bool triangleRects = true;
    // Adjusted by a Shift + Alt drag on a cube graph; clamped to [0, 1].
    double secondaryOpacity = 1.0;
    // Grid column and row whose vertices are highlighted.
    int highlightColumn = 0;
    int highlightRow = 0;
    QList<CubeLight> lights{CubeLight(-0.8f, 1.2f, -0.8f, 90.0f),
                            CubeLight(-0.8f, 1.2f, 0.8f, 90.0f),
                            CubeLight(0.8f, 2.0f, 1.8f, 200.0f)};

    friend bool operator==(const DrawSettings3DCube &a, const DrawSettings3DCube &b)
    {
        return a.opacity == b.opacity && a.imageSize == b.imageSize && a.smooth == b.smooth &&
               a.fastDraw == b.fastDraw && a.noAntialiasing == b.noAntialiasing &&
               a.renderScale == b.renderScale && a.auxFlagA == b.auxFlagA &&
               a.auxFlagB == b.auxFlagB && a.surfaceColour == b.surfaceColour &&
               a.auxFlagC == b.auxFlagC && a.showPoints == b.showPoints &&
               a.lowColour == b.lowColour && a.highColour == b.highColour &&
               a.wireframeColour == b.wireframeColour && a.auxValue == b.auxValue &&
               a.averagedNormals == b.averagedNormals && a.triangleRects == b.triangleRects &&
               a.secondaryOpacity == b.secondaryOpacity && a.highlightColumn == b.highlightColumn &&
               a.highlightRow == b.highlightRow && a.lights == b.lights;
    }
    friend bool operator!=(const DrawSettings3DCube &a, const DrawSettings3DCube &b)
    {
        return !(a == b);
    }
};

Q_DECLARE_METATYPE(DataExtractionSettings)
Q_DECLARE_METATYPE(PerspectiveSettings)
Q_DECLARE_METATYPE(DrawSettings2D)
Q_DECLARE_METATYPE(DrawSettings3DFlat)
Q_DECLARE_METATYPE(DrawSettings3DCube)

#endif // DATASETTINGS_H
