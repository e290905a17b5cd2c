#ifndef SCANENGINE_H
#define SCANENGINE_H

#include "scan/scangrid.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>

class VIVExcelApplication;
class VIVExcelRange;
class VIVExcelWatchView;

// Walks one pass of a scan: writes the grid points into the scanned cells, reads every watched
// cell back and stores the results at their grid positions in the watches' data stores. Points
// go to the spreadsheet link in batches in walk order, each batch short enough that the event
// loop and the stop test still run at least every 100 ms. The engine talks to the rest of the
// program only through the controller's scan state and its signals, as the slots that run
// during a scan do.
class ScanEngine : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Completed, Stopped, WriteRefused, OfficeGone };

    explicit ScanEngine(QObject *controller, QObject *parent = nullptr);

    void setApplication(VIVExcelApplication *application) { m_application = application; }
    void setGrid(const ScanGrid &grid) { m_grid = grid; }
    const ScanGrid &grid() const { return m_grid; }
    // The active watches, whose cells are read at every point, in this order.
    void setWatches(const QList<VIVExcelWatchView *> &watches);

    // Gives every watch's store the grid's dimensions and the extraction positions.
    void prepareWatches(const QList<int> &positions);
    // Walks the grid; the stop deferral starts counting here.
    Outcome run();
    // Marks the stores complete or not and lets the watches paint at full quality again.
    void finishWatches(bool completed);

    int totalPoints() const { return m_totalPoints; }
    int pointsScanned() const { return m_pointsScanned; }
    qint64 elapsedMs() const { return m_scanClock.isValid() ? m_scanClock.elapsed() : 0; }
    // The text the Graph button shows at a progress tick; empty when the phase shows nothing.
    QString progressText(int phase) const;
    // Serves pending events for at most 10 ms, then answers whether a requested stop may
    // happen now. A stop requested too early is deferred, so a stopped scan still leaves a
    // usable coarse graph.
    bool scanShouldStop();

    // The longest a batch of points should take, and the longest between two stop tests.
    static constexpr int batchBudgetMs = 50;
    static constexpr int stopTestIntervalMs = 100;

signals:
    void progressChanged(double fraction);
    // A workbook read stale values after a write and recalculates fully from now on.
    void fullRecalculationSwitchedOn();

private:
    // Points evaluated again after a switch to full recalculation are not counted twice.
    enum class Count { New, Again };
    bool evaluate(const QList<int> &indices, Count count = Count::New);
    void store(const QList<int> &indices, const QList<qreal> &results);
    bool writesTookEffect(const QList<int> &positions);
    bool officeGone(const QList<qreal> &results) const;
    bool checkRecalculation();
    int nextBatchSize() const;
    QList<VIVExcelRange *> writeRanges() const;

    QObject *m_controller;
    QPointer<VIVExcelApplication> m_application;
    ScanGrid m_grid;
    QList<QPointer<VIVExcelWatchView>> m_watches;
    QList<VIVExcelRange *> m_readRanges;
    int m_totalPoints = 0;
    int m_pointsScanned = 0;
    int m_minPointsBeforeStop = 1;
    double m_msPerPoint = 0.0;
    bool m_officeGone = false;
    QElapsedTimer m_scanClock;
    QElapsedTimer m_recalculationClock;
};

#endif
