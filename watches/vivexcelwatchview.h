#ifndef VIVEXCELWATCHVIEW_H
#define VIVEXCELWATCHVIEW_H

#include "graph/datasettings.h"
#include "watches/watcharea.h"
#include "watches/watchbutton.h"

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <QWidget>

struct DataDimension;
class MinMaxMultiDimData;
class QMouseEvent;
class QWheelEvent;
class VIVExcelRange;
class VIVExcelWatchScale;

// Shows one watched cell: a text line above a graph of the cell's data with a value scale, a
// parameter axis, optional split lines and a row of icon buttons. It owns the data object a scan
// fills, keeps earlier scans for a fading display, holds its repaint rate to what painting costs,
// and turns mouse gestures into split-point moves (2D) or perspective changes (3D).
class VIVExcelWatchView : public QWidget
{
    Q_OBJECT

public:
    // Bits of areaFlags(): which elements are shown.
    static constexpr unsigned AreaTextDark = 0x001;
    static constexpr unsigned AreaTextMetal = 0x002;
    static constexpr unsigned AreaText = 0x003;
    static constexpr unsigned AreaScale = 0x01C;
    static constexpr unsigned AreaAxis = 0x0E0;
    static constexpr unsigned AreaSplitHorizontal = 0x100;
    static constexpr unsigned AreaSplitVertical = 0x200;
    static constexpr unsigned AreaSplit = 0x300;
    static constexpr unsigned AreaButtons = 0x400;
    static constexpr unsigned AreaIndicator = 0x800;
    static constexpr unsigned AreaAll = 0xFFF;

    explicit VIVExcelWatchView(QWidget *parent = nullptr);

    // The shortest wait between two throttled repaints after a graph paint that took paintMs.
    static qint64 repaintIntervalFor(qint64 paintMs, double factor);

    const QList<WatchButton> &buttons() const { return m_buttons; }
    void setButtons(const QList<WatchButton> &buttons);
    int buttonSize() const { return m_buttonSize; }
    int hoveredButton() const { return m_hoveredButton; }
    void setHoveredButton(int index);
    bool buttonsVisible() const { return m_buttonsVisible; }
    void setButtonsVisible(bool visible);
    bool mouseOverIndicator() const { return m_mouseOverIndicator; }

    MinMaxMultiDimData *data() const { return m_data; }
    const QList<MinMaxMultiDimData *> &previousData() const { return m_previousData; }
    void createData();
    void clearPreviousData();

    QString text() const { return m_text; }
    void setText(const QString &text);
    int textHeight() const { return m_textHeight; }
    void setTextHeight(int height);
    VIVExcelRange *range() const;
    void setRange(VIVExcelRange *range);
    int scaleWidth() const { return m_scaleWidth; }
    int axisHeight() const { return m_axisHeight; }

    unsigned areaFlags() const { return m_areaFlags; }
    void setAreaFlags(unsigned flags);
    void addAreaFlags(unsigned flags);
    void removeAreaFlags(unsigned flags);
    QRect areaRect(WatchArea area) const;

    VIVExcelWatchScale *watchScale() const;
    void setWatchScale(VIVExcelWatchScale *scale);
    VIVExcelWatchView *subWatchX() const { return m_subWatchX; }
    VIVExcelWatchView *subWatchY() const { return m_subWatchY; }
    void setSubWatchX(VIVExcelWatchView *watch);
    void setSubWatchY(VIVExcelWatchView *watch);
    int subWatchMargin() const { return m_subWatchMargin; }
    void setSubWatchMargin(int margin);

    QPointF splitPoint() const { return m_splitPoint; }
    QPoint crossPointIndex(QPointF point) const;
    double crossPointValue() const { return m_crossPointValue; }

    QDateTime lastPaintTime() const { return m_lastPaintTime; }
    qint64 minRepaintInterval() const { return m_minRepaintInterval; }
    void setMinRepaintInterval(qint64 ms);
    bool isRepaintPending() const { return m_repaintTimer.isActive(); }
    void restartRepaintClock();
    double repaintFactor() const { return m_repaintFactor; }
    void setRepaintFactor(double factor);
    qint64 paintDuration() const { return m_paintDuration; }
    int fastDrawCount() const { return m_fastDrawCount; }
    int dragMode() const { return m_dragMode; }

    // A surface drawn as a shaded cube rather than flat: scales, axis and split lines give way.
    bool is3DProper() const;
    // What the value scale and the parameter axis show; NaN and empty where the data has no
    // such dimension.
    double scaleTop() const;
    double scaleBottom() const;
    QString scaleLabel() const;
    double axisLow() const;
    double axisHigh() const;
    QString axisLabel() const;

signals:
    void afterPaint(QPainter &painter);
    void buttonClicked(const QString &name);
    void canUseFastDrawChanged(bool on);
    void closeRequest();
    void crossPointValueChanged();
    void dataCreated();
    void graphDepthChanged();
    void graphClicked();
    void graphZoomChanged(qreal zoom);
    void mousePressed(QMouseEvent *event);
    void mouseReleased(QMouseEvent *event);
    void mouseWheelEvent(QWheelEvent *event);
    void selectedChanged();
    void sizeChanged();
    void splitChanged(QPointF point);
    void textClicked();
    void mouseZoomChanging();

public slots:
    void dataMinMaxChanged();
    void dataNaNReported();
    void hideButtons();
    void updateCubeFillLimits(QPoint index);
    void updateCubeFillLimits();
    void updateWithSubgraphs();
    void dataBeforePaint3D(QPainter &painter);
    void dataAfterPaint3D(QPainter &painter);
    void data3DAxesNeeded(QPainter &painter);
    void data3DYAxisNeeded(QPainter &painter);
    void removeOldestPreviousData();
    void setCanUseFastDraw(bool on);
    void setSplitPoint(QPointF point);
    void setInvertedSplitPoint(QPointF point);
    // Repaints at once with force; otherwise no sooner than minRepaintInterval() after the
    // last paint.
    void update(bool force = false);
    void updateSubWatches();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool isOwnSubWatch(const VIVExcelWatchView *watch) const;
    bool hasFreeDimensionPair() const;
    const DataDimension *freeDimensionRecord(int n) const;
    double curveScaleMargin() const;
    void connectData();
    void connectScale();
    void copySettingsInto(MinMaxMultiDimData *target) const;
    void fillSubWatch(VIVExcelWatchView *watch, int freeEntry, int index) const;
    void updateCrossPointValue(QPoint index);
    void sizeSubWatches();

    void paintGraph(QPainter &painter, const QRect &exposed);
    void paintPreviousData(QPainter &painter, const QRect &graph);
    static double stackedOpacity(const MinMaxMultiDimData *old);
    void adaptQuality();
    void paintSplitLines(QPainter &painter, const QRect &graph);
    void paintScale(QPainter &painter);
    void paintAxis(QPainter &painter);
    void paintText(QPainter &painter);
    void paintButtons(QPainter &painter);
    void paintFrame(QPainter &painter);

    int buttonIndexAt(int right, double x) const;
    bool pressOnButtons(QMouseEvent *event);
    int dragModeFor(QMouseEvent *event) const;
    void splitPointFromPosition(QPointF position);
    void dragSplitPoint3D(double dx, double dy, double width, double height);
    void dragPerspective(QPointF delta, double width, double height);
    void hover(QPointF position);

    QList<WatchButton> m_buttons;
    int m_buttonSize = 24;
    int m_hoveredButton = -1;
    MinMaxMultiDimData *m_data = nullptr;
    QString m_text;
    int m_textHeight = 34;
    QPointer<VIVExcelRange> m_range;
    const int m_scaleWidth = 40;
    const int m_axisHeight = 25;
    QPointer<VIVExcelWatchView> m_subWatchX;
    QPointer<VIVExcelWatchView> m_subWatchY;
    QPointer<VIVExcelWatchScale> m_watchScale;
    QList<QMetaObject::Connection> m_scaleConnections;
    QPointF m_splitPoint{0.5, 0.50000001};
    unsigned m_areaFlags = 0;
    int m_subWatchMargin = 0;
    QDateTime m_lastPaintTime;
    qint64 m_minRepaintInterval = 10;
    QTimer m_repaintTimer;
    QTimer m_stackTimer;
    QTimer m_hideButtonsTimer;
    QTimer m_subWatchTimer;
    bool m_subWatchesDirty = false;
    bool m_buttonsVisible = false;
    bool m_mouseOverIndicator = false;
    QList<MinMaxMultiDimData *> m_previousData;
    PerspectiveSettings m_perspectiveAtPress;
    DrawSettings3DCube m_drawSettingsAtPress;
    QPointF m_pressPos{0.0, 0.0};
    QPointF m_splitAtPress{0.0, 0.0};
    int m_dragMode = 0;
    double m_crossPointValue = 0.0;
    int m_fastDrawCount = 0;
    qint64 m_paintDuration = 0;
    double m_repaintFactor = 1.5;
};

#endif // VIVEXCELWATCHVIEW_H
