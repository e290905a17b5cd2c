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
class ScanWorkers;

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
    enum class Outcome { Completed, Stopped, WriteRefused, OfficeGone, WorkersFailed };

    explicit ScanEngine(QObject *controller, QObject *parent = nullptr);

    void setApplication(VIVExcelApplication *application) { m_application = application; }
    void setGrid(const ScanGrid &grid) { m_grid = grid; }
    // The private offices that evaluate the points instead of the user's office; none: the
    // user's office does.
    void setWorkers(ScanWorkers *workers) { m_workers = workers; }
    const ScanGrid &grid() const { return m_grid; }
    // The active watches, whose cells are read at every point, in this order.
    void setWatches(const QList<VIVExcelWatchView *> &watches);
    const QList<VIVExcelRange *> &readRanges() const { return m_readRanges; }
    // The scanned cells in the order each point's numbers are written: the last axis first.
    QList<VIVExcelRange *> writeRanges() const;

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

private:
    bool evaluate(const QList<int> &indices);
    void store(const QList<int> &indices, const QList<qreal> &results);
    bool writesTookEffect(const QList<int> &positions);
    bool officeGone(const QList<qreal> &results) const;
    int nextBatchSize() const;

    QObject *m_controller;
    QPointer<VIVExcelApplication> m_application;
    ScanWorkers *m_workers = nullptr;
    ScanGrid m_grid;
    QList<QPointer<VIVExcelWatchView>> m_watches;
    QList<VIVExcelRange *> m_readRanges;
    int m_totalPoints = 0;
    int m_pointsScanned = 0;
    int m_minPointsBeforeStop = 1;
    double m_msPerPoint = 0.0;
    Outcome m_failure = Outcome::OfficeGone;
    QElapsedTimer m_scanClock;
};

#endif
