#ifndef REPAINTTHROTTLE_H
#define REPAINTTHROTTLE_H

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Holds a view's repaint rate to what its painting costs: a repaint asked for sooner than the
// minimum interval after the last paint is deferred, and a burst of such requests becomes one
// repaint when the interval is over. The interval follows the duration of the last paint.
class RepaintThrottle : public QObject
{
    Q_OBJECT

public:
    explicit RepaintThrottle(QObject *parent = nullptr);

    // The shortest wait between two throttled repaints after a paint that took paintMs.
    static qint64 intervalFor(qint64 paintMs, double factor);

    // True when a repaint may happen now. Otherwise the deferred repaint is scheduled (once)
    // and repaintDue() follows when the interval is over.
    bool admit();
    // A repaint happens at once: the deferred one is not needed.
    void cancelPending();
    bool isPending() const { return m_timer.isActive(); }
    // Restarts a pending deferral and counts the interval from now.
    void restartClock();

    void paintStarted();
    // Records the duration of a graph paint and derives the next interval from it.
    void graphPainted(qint64 paintMs);

    QDateTime lastPaintTime() const { return m_lastPaintTime; }
    qint64 minInterval() const { return m_minInterval; }
    void setMinInterval(qint64 ms);
    double factor() const { return m_factor; }
    void setFactor(double factor);
    qint64 paintDuration() const { return m_paintDuration; }

signals:
    void repaintDue();

private:
    QTimer m_timer;
    // The throttle measures on the monotonic clock; the date is only reported.
    QElapsedTimer m_sincePaint;
    QDateTime m_lastPaintTime;
    qint64 m_minInterval = 10;
    qint64 m_paintDuration = 0;
    double m_factor = 1.5;
};

#endif // REPAINTTHROTTLE_H
