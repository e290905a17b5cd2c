#ifndef MINMAXMULTIDIMDATA_H
#define MINMAXMULTIDIMDATA_H

#include "graph/datasettings.h"
#include "graph/graphdepth.h"
#include "graph/simplemultidimdata.h"

#include <QImage>
#include <QRect>

#include <memory>

class CubeGraphPainter;
class FlatGraphPainter;
class QPainter;

// The data object every watch owns: the store plus the value range that scales its graphs, the
// extraction that picks the one or two dimensions a graph shows (and from it the graph depth),
// the settings the painters read, and dirty flags telling the painters what to rebuild. The
// store keeps those flags itself: its setters raise them, and its paint lowers them once the
// painter has rebuilt what depends on them.
class MinMaxMultiDimData : public SimpleMultiDimData
{
    Q_OBJECT

public:
    explicit MinMaxMultiDimData(QObject *parent = nullptr);
    ~MinMaxMultiDimData() override;

    // Set by setDataExtractionSettings() and at the end of a scan pass, which may have changed
    // what the extraction selects; cleared when the cube has been rendered again.
    bool extractionDirty() const { return m_extractionDirty; }
    void finishScan(bool completed) override;
    bool settings2DDirty() const { return m_settings2DDirty; }
    bool flatDirty() const { return m_flatDirty; }
    bool cubeDirty() const { return m_cubeDirty; }
    bool perspectiveDirty() const { return m_perspectiveDirty; }

    void clear() override;
    void resetValues() override;
    bool setValues(const QList<double> &newValues) override;
    bool setValue(const QList<int> &indices, double value) override;
    bool setDimensions(const QList<DataDimension> &newDimensions) override;
    bool appendValue(double value) override;

    bool displayAsScan() const { return m_displayAsScan; }
    void setDisplayAsScan(bool on);
    bool flat3D() const { return m_flat3D; }
    void setFlat3D(bool on);
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    void setMinMax(double lo, double hi);
    // A GraphDepth value.
    GraphDepth graphDepth() const { return m_graphDepth; }
    int freeDimension(int n) const;
    // Takes every setting of other, and its value range, but none of its values.
    void copySettingsFrom(const MinMaxMultiDimData &other);

    const DataExtractionSettings &dataExtractionSettings() const { return m_extraction; }
    const PerspectiveSettings &perspectiveSettings() const { return m_perspective; }
    const DrawSettings2D &drawSettings2D() const { return m_settings2D; }
    const DrawSettings3DFlat &drawSettings3DFlat() const { return m_flatSettings; }
    const DrawSettings3DCube &drawSettings3DCube() const { return m_cubeSettings; }

    // Draws the graph the extraction selects into rect: a curve for one free dimension, a heat
    // map or a cube for two.
    void paint(QPainter &painter, const QRect &rect);
    // The extraction padded to one entry per dimension with fixed index 0, so that the painters
    // show exactly the free dimensions that the extraction names.
    QList<int> paintIndices() const;
    // The heat map's indexed image and the cube's cached picture as last painted.
    const QImage &flatImage() const;
    const QImage &cubeImage() const;
    // Duration in milliseconds of the last cube rendering made without fast drawing.
    qint64 lastDrawingTime() const;
    const CubeGraphPainter &cubeGraphPainter() const { return *m_cubePainter; }

public slots:
    void setDataExtractionSettings(const DataExtractionSettings &settings);
    void setPerspectiveSettings(const PerspectiveSettings &settings);
    void setDrawSettings2D(const DrawSettings2D &settings);
    void setDrawSettings3DFlat(const DrawSettings3DFlat &settings);
    void setDrawSettings3DCube(const DrawSettings3DCube &settings);

signals:
    void beforePaint3D(QPainter &painter);
    void afterPaint3D(QPainter &painter);
    // Not emitted: the cube painter draws its axes itself. Kept because the watch view's
    // interface is described with them.
    void paint3DYAxisNeeded(QPainter &painter);
    void paint3DAxesNeeded(QPainter &painter);
    void minMaxChanged();
    void dataExtractionSettingsChanged(const DataExtractionSettings &settings);
    void perspectiveChanged(const PerspectiveSettings &settings);
    void drawSettings2DChanged(const DrawSettings2D &settings);
    void drawSettings3DFlatChanged(const DrawSettings3DFlat &settings);
    void drawSettings3DCubeChanged(const DrawSettings3DCube &settings);
    void graphDepthChanged();

private:
    void paint2D(QPainter &painter, const QRect &rect);
    void paint3DFlat(QPainter &painter, const QRect &rect);
    void paint3DCube(QPainter &painter, const QRect &rect);
    bool widenRange(double v);
    void updateMinMax(double v);
    void recomputeMinMax();
    void normalizeExtraction();
    bool isExtractionValid(const QList<int> &indices) const;
    GraphDepth extractionDepth() const;
    void setGraphDepth(GraphDepth depth);

    bool m_displayAsScan = false;
    DataExtractionSettings m_extraction;
    PerspectiveSettings m_perspective;
    DrawSettings2D m_settings2D;
    DrawSettings3DFlat m_flatSettings;
    DrawSettings3DCube m_cubeSettings;
    double m_minimum = qQNaN();
    double m_maximum = qQNaN();
    bool m_flat3D = false;
    GraphDepth m_graphDepth = GraphDepthNone;
    bool m_extractionDirty = false;
    bool m_settings2DDirty = false;
    bool m_flatDirty = false;
    bool m_cubeDirty = false;
    bool m_perspectiveDirty = false;
    std::unique_ptr<FlatGraphPainter> m_flatPainter;
    std::unique_ptr<CubeGraphPainter> m_cubePainter;
};

#endif // MINMAXMULTIDIMDATA_H
