#ifndef SCANRUNNER_H
#define SCANRUNNER_H

#include "app/scanengine.h"
#include "scan/scangrid.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class ProgressPushButton;
class QSlider;
class ScanWorkers;
class SliderWatchRegistry;
class VIVExcelApplication;
class VIVExcelCellSliderView;
class VIVExcelRange;
class VIVExcelWatchView;
class WatchWindow;

// Runs the scans the Graph button starts: passes over the grid of the selected sliders until
// one ends without a restart request, with the spreadsheet's screen updating off throughout;
// the sliders' cells get their previous values back after every pass. Between scans it keeps
// the grid, so that moving a scanned slider shows another cross section of the stored data.
// Slots that run during a scan reach it only through the owner's scan state.
class ScanState;

class ScanRunner : public QObject
{
    Q_OBJECT

public:
    ScanRunner(QObject *owner, SliderWatchRegistry *registry, ProgressPushButton *graphButton,
               QSlider *precision);

    // Starts a scan, or asks the running one to stop.
    void startOrStop(VIVExcelApplication *application, WatchWindow *watchWindow);
    // Scans the one slider alone.
    void scanOneSlider(VIVExcelCellSliderView *view, VIVExcelApplication *application,
                       WatchWindow *watchWindow);
    // The precision changed: a running scan starts again on the new grid, else a scan starts.
    void precisionChanged(VIVExcelApplication *application, WatchWindow *watchWindow);
    // A slider moved. During a scan a slider that is not scanned restarts it and a scanned
    // one shows another slice; otherwise its cell is written, now or by a rescan when other
    // sliders are selected.
    void sliderMoved(VIVExcelApplication *application, VIVExcelCellSliderView *moved, qreal value);
    void selectionChanged(VIVExcelCellSliderView *view);
    // The slider's limits or step changed: its cell takes the value the slider now shows.
    void sliderConfigChanged(VIVExcelCellSliderView *view);
    const ScanGrid &grid() const { return m_grid; }
    // The index of the scan axis on the range's cell, or -1.
    int axisOf(const VIVExcelRange *range) const;
    // Forgets the grid: the stored data no longer matches the cells.
    void clearDimensions() { m_grid = ScanGrid(); }
    // Forgets the grid and the data of every active watch.
    void clearScanData();
    // Shows in every active watch the slice at the sliders' current positions and marks on
    // each slider its role in the graph.
    void updateCrossSections();
    // Moving the cross point of a surface moves the two sliders of its free axes.
    void followSplitPoint(VIVExcelWatchView *watch);
    // Rescans shortly; a burst of slider moves makes one rescan.
    void scheduleRescan();
    const ScanEngine &engine() const { return m_engine; }
    ScanWorkers *workers() const { return m_workers; }

signals:
    void scanStateChanged();
    void rescanRequested();
    // The scan ended early for a reason the user must know.
    void scanFailed(const QString &message);

private:
    void requestRestart();
    void runPass(VIVExcelApplication *application);
    QList<VIVExcelCellSliderView *> prepareSliders(VIVExcelApplication *application);
    void prepareStores(const QList<VIVExcelWatchView *> &watches);
    ScanGrid buildGrid() const;
    QList<int> initialPositions() const;
    void keepCellInRange(VIVExcelCellSliderView *view);
    void restoreCells(VIVExcelApplication *application,
                      const QList<VIVExcelCellSliderView *> &scanned);
    void markAxes(int freeCount);
    void reportFailure(ScanEngine::Outcome outcome);
    void progressTick();

    QObject *m_owner;
    ScanState *m_state;
    SliderWatchRegistry *m_registry;
    ProgressPushButton *m_graphButton;
    QSlider *m_precision;
    QPointer<WatchWindow> m_watchWindow;
    ScanGrid m_grid;
    ScanEngine m_engine;
    ScanWorkers *m_workers;
    QString m_graphToolTip;
    QTimer m_rescanTimer;
    QTimer m_progressTimer;
    int m_progressPhase = 0;
};

#endif
