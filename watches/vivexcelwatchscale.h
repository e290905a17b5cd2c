#ifndef VIVEXCELWATCHSCALE_H
#define VIVEXCELWATCHSCALE_H

#include "watches/repaintthrottle.h"

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QWidget>

class VIVExcelWatchView;

// The colour legend beside a watch whose surface is drawn as a flat colour map: the ramp over
// the value range, value labels at round ticks and a marker with the value at the cross point.
class VIVExcelWatchScale : public QWidget
{
    Q_OBJECT

public:
    explicit VIVExcelWatchScale(QWidget *parent = nullptr);

    VIVExcelWatchView *watchView() const;
    // Pairs this scale with view (and the view with this scale); null undoes the pairing.
    void setWatchView(VIVExcelWatchView *view);
    double rangeMin() const { return m_rangeMin; }
    double rangeMax() const { return m_rangeMax; }
    void setValueRange(double min, double max);
    const QList<double> &tickPositions() const { return m_tickPositions; }
    const QList<double> &tickValues() const { return m_tickValues; }
    const QList<QColor> &rampColours() const { return m_rampColours; }
    QDateTime lastPaintTime() const { return m_throttle.lastPaintTime(); }
    qint64 minRepaintInterval() const { return m_throttle.minInterval(); }
    bool isRepaintPending() const { return m_throttle.isPending(); }

public slots:
    // Repaints at once with force; otherwise no sooner than 10 ms after the last paint, so a
    // burst of value changes leads to one repaint.
    void update(bool force = false);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void computeTicks();
    void computeRamp();
    void paintRamp(QPainter &painter, const QRect &contents);
    void paintTicks(QPainter &painter, const QRect &contents);
    void paintCrossPoint(QPainter &painter, const QRect &contents);

    QPointer<VIVExcelWatchView> m_watchView;
    double m_rangeMin = 0.0;
    double m_rangeMax = 0.0;
    QList<double> m_tickPositions;
    QList<double> m_tickValues;
    QList<QColor> m_rampColours;
    // Its interval stays at the 10 ms it starts with: the scale paints no graph.
    RepaintThrottle m_throttle;
};

#endif // VIVEXCELWATCHSCALE_H
