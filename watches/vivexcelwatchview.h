#ifndef VIVEXCELWATCHVIEW_H
#define VIVEXCELWATCHVIEW_H

#include "watches/fadedcurvehistory.h"
#include "watches/fastdrawing.h"
#include "watches/repaintthrottle.h"
#include "watches/subwatchpair.h"
#include "watches/watcharea.h"
#include "watches/watchbutton.h"
#include "watches/watchinteraction.h"
#include "watches/watchlayout.h"
#include "watches/watchpainter.h"
#include "watches/watchscalelink.h"

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QWidget>

class MinMaxMultiDimData;
class QMouseEvent;
class QWheelEvent;
class VIVExcelRange;
class VIVExcelWatchScale;

// Shows one watched cell: a text line above a graph of the cell's data with a value scale, a
// parameter axis, optional split lines and a row of icon buttons. It owns the data object a scan
// fills and keeps its two sub watches (the cuts through a surface) in step with it; its layout,
// painting, repaint throttle, gestures and faded history of earlier scans are the small pieces
// it holds.
class VIVExcelWatchView : public QWidget
{
    Q_OBJECT

public:
    // Bits of areaFlags(): which elements are shown.
    static constexpr WatchAreaFlag AreaTextDark = WatchAreaFlag::TextDark;
    static constexpr WatchAreaFlag AreaTextMetal = WatchAreaFlag::TextMetal;
    static constexpr WatchAreaFlag AreaText = WatchAreaFlag::Text;
    static constexpr WatchAreaFlag AreaScale = WatchAreaFlag::Scale;
    static constexpr WatchAreaFlag AreaAxis = WatchAreaFlag::Axis;
    static constexpr WatchAreaFlag AreaSplitHorizontal = WatchAreaFlag::SplitHorizontal;
    static constexpr WatchAreaFlag AreaSplitVertical = WatchAreaFlag::SplitVertical;
    static constexpr WatchAreaFlag AreaSplit = WatchAreaFlag::Split;
    static constexpr WatchAreaFlag AreaButtons = WatchAreaFlag::Buttons;
    static constexpr WatchAreaFlag AreaIndicator = WatchAreaFlag::Indicator;
    static constexpr WatchAreaFlag AreaAll = WatchAreaFlag::All;

    explicit VIVExcelWatchView(QWidget *parent = nullptr);

    // The shortest wait between two throttled repaints after a graph paint that took paintMs.
    static qint64 repaintIntervalFor(qint64 paintMs, double factor)
    {
        return RepaintThrottle::intervalFor(paintMs, factor);
    }

    const QList<WatchButton> &buttons() const { return m_buttons; }
    void setButtons(const QList<WatchButton> &buttons);
    int buttonSize() const { return m_buttonSize; }
    int hoveredButton() const { return m_hoveredButton; }
    void setHoveredButton(int index);
    bool buttonsVisible() const { return m_buttonsVisible; }
    // A watch of a watch window that is going away: no scan or slider move feeds it any more.
    void setInactive(bool inactive);
    bool isInactive() const;
    void setButtonsVisible(bool visible);
    bool mouseOverIndicator() const { return m_interaction.mouseOverIndicator(); }

    MinMaxMultiDimData *data() const { return m_data; }
    const QList<MinMaxMultiDimData *> &previousData() const { return m_history.snapshots(); }
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

    WatchAreaFlags areaFlags() const { return m_areaFlags; }
    void setAreaFlags(WatchAreaFlags flags);
    void addAreaFlags(WatchAreaFlags flags);
    void removeAreaFlags(WatchAreaFlags flags);
    QRect areaRect(WatchArea area) const;

    VIVExcelWatchScale *watchScale() const;
    void setWatchScale(VIVExcelWatchScale *scale);
    VIVExcelWatchView *subWatchX() const { return m_subWatches.x(); }
    VIVExcelWatchView *subWatchY() const { return m_subWatches.y(); }
    void setSubWatchX(VIVExcelWatchView *watch);
    void setSubWatchY(VIVExcelWatchView *watch);
    int subWatchMargin() const { return m_subWatches.margin(); }
    void setSubWatchMargin(int margin);

    QPointF splitPoint() const { return m_splitPoint; }
    QPoint crossPointIndex(QPointF point) const;
    double crossPointValue() const { return m_crossPointValue; }

    QDateTime lastPaintTime() const { return m_throttle.lastPaintTime(); }
    qint64 minRepaintInterval() const { return m_throttle.minInterval(); }
    // Not a visible property: changing it asks for no repaint.
    void setMinRepaintInterval(qint64 ms) { m_throttle.setMinInterval(ms); }
    bool isRepaintPending() const { return m_throttle.isPending(); }
    void restartRepaintClock() { m_throttle.restartClock(); }
    double repaintFactor() const { return m_throttle.factor(); }
    void setRepaintFactor(double factor) { m_throttle.setFactor(factor); }
    qint64 paintDuration() const { return m_throttle.paintDuration(); }
    int fastDrawCount() const { return m_fastDrawing.count(); }
    // A WatchInteraction::DragMode value.
    WatchInteraction::DragMode dragMode() const { return m_interaction.dragMode(); }

    // A surface drawn as a shaded cube rather than flat: scales, axis and split lines give way.
    bool is3DProper() const;
    // What the value scale and the parameter axis show; NaN and empty where the data has no
    // such dimension.
    double scaleTop() const { return valueScale().high; }
    double scaleBottom() const { return valueScale().low; }
    QString scaleLabel() const { return valueScale().label; }
    double axisLow() const { return parameterAxis().low; }
    double axisHigh() const { return parameterAxis().high; }
    QString axisLabel() const { return parameterAxis().label; }

signals:
    void afterPaint(QPainter &painter);
    void buttonClicked(const QString &name);
    void canUseFastDrawChanged(bool on);
    void closeRequest();
    void crossPointValueChanged();
    void dataCreated();
    void graphDepthChanged();
    void graphClicked();
    // Not emitted by the view itself: an owner may forward another object's zoom to it.
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
    void hideButtons();
    void updateCubeFillLimits(QPoint index);
    void updateCubeFillLimits();
    void updateWithSubgraphs();
    void data3DAxesNeeded(QPainter &painter);
    // These do nothing and nothing connects to them; they stay because the view's interface is
    // described with them.
    void dataNaNReported();
    void dataBeforePaint3D(QPainter &painter);
    void dataAfterPaint3D(QPainter &painter);
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
    WatchLayout layout() const;
    void connectData();
    void fitCubeImage();
    void adaptQuality();

    void paintGraph(QPainter &painter, const QRect &exposed);
    GraphRange valueScale() const;
    GraphRange parameterAxis() const;
    WatchSurroundings surroundings() const;

    QList<WatchButton> m_buttons;
    int m_buttonSize = 24;
    int m_hoveredButton = -1;
    MinMaxMultiDimData *m_data = nullptr;
    QString m_text;
    int m_textHeight = 34;
    QPointer<VIVExcelRange> m_range;
    const int m_scaleWidth = 40;
    const int m_axisHeight = 25;
    WatchScaleLink m_scaleLink;
    QPointF m_splitPoint{0.5, 0.50000001};
    WatchAreaFlags m_areaFlags;
    SubWatchPair m_subWatches{*this};
    RepaintThrottle m_throttle;
    FadedCurveHistory m_history;
    bool m_buttonsVisible = false;
    WatchInteraction m_interaction{*this};
    double m_crossPointValue = 0.0;
    FastDrawing m_fastDrawing;
};

#endif // VIVEXCELWATCHVIEW_H
