#ifndef MINMAXMULTIDIMDATA_H
#define MINMAXMULTIDIMDATA_H

#include "graph/datasettings.h"
#include "graph/simplemultidimdata.h"

#include <QImage>
#include <QRect>

#include <memory>

class CubeGraphPainter;
class FlatGraphPainter;
class QPainter;

// The data object every watch owns: the store plus the value range that scales its graphs, the
// extraction that picks the one or two dimensions a graph shows (and from it the graph depth),
// the settings the painters read, and dirty flags telling the painters what to rebuild.
class MinMaxMultiDimData : public SimpleMultiDimData
{
    Q_OBJECT

public:
    explicit MinMaxMultiDimData(QObject *parent = nullptr);
    ~MinMaxMultiDimData() override;

    // Set by the setters (extractionDirty also by the scan engine); cleared by the cube painter
    // once it has rebuilt what depends on them.
    bool extractionDirty = false;
    bool settings2DDirty = false;
    bool flatDirty = false;
    bool cubeDirty = false;
    bool perspectiveDirty = false;

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
    // 0 none, 1 single value, 2 curve, 4 surface, 8 more than two free dimensions.
    int graphDepth() const { return m_graphDepth; }
    int freeDimension(int n) const;

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
    int extractionDepth() const;
    void setGraphDepth(int depth);

    bool m_displayAsScan = false;
    DataExtractionSettings m_extraction;
    PerspectiveSettings m_perspective;
    DrawSettings2D m_settings2D;
    DrawSettings3DFlat m_flatSettings;
    DrawSettings3DCube m_cubeSettings;
    double m_minimum = qQNaN();
    double m_maximum = qQNaN();
    bool m_flat3D = false;
    int m_graphDepth = 0;
    std::unique_ptr<FlatGraphPainter> m_flatPainter;
    std::unique_ptr<CubeGraphPainter> m_cubePainter;
};

#endif // MINMAXMULTIDIMDATA_H
