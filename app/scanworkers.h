#ifndef SCANWORKERS_H
#define SCANWORKERS_H

#include <QList>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <optional>

class QTemporaryDir;
class SweepPool;
class VIVExcelApplication;
class VIVExcelRange;

// Scans of heavy workbooks on private headless offices of the program's own, one per core, each
// on a snapshot of the user's workbook as it is when the scan starts, unsaved edits included.
// Such a scan writes nothing into the user's workbook, so the user's office idles and keeps its
// undo history and modified flag. The offices stay open between scans, to take the next
// snapshot without starting again, until they have idled a few minutes or the program ends.
class ScanWorkers : public QObject
{
    Q_OBJECT

public:
    enum class Mode {
        Automatic, // on the workers when a scan is predicted to end sooner there
        Always,    // on the workers whenever the workbook allows it
        Never,     // always in the user's office
    };

    explicit ScanWorkers(QObject *parent = nullptr);
    ~ScanWorkers() override;

    void setMode(Mode mode) { m_mode = mode; }
    // At most this many offices; by default one per core.
    void setMaximumWorkers(int count) { m_maximumWorkers = std::max(1, count); }
    // Decides where a scan of points over the written cells runs and, when on the workers,
    // readies them with a snapshot. Keeps the program's events served while offices start.
    bool prepare(VIVExcelApplication *application, const QList<VIVExcelRange *> &writeRanges,
                 const QList<VIVExcelRange *> &readRanges, int points);
    // Evaluates points as VIVExcelApplication::evaluatePoints does; nothing when the workers
    // failed, and then the next prepare() keeps the scan in the user's office.
    std::optional<QList<double>> evaluate(const QList<double> &pointValues);
    // Ends the scan on the workers; they stay open for the next few minutes.
    void finish();
    int workerCount() const { return m_workerCount; }
    // Where the last scan ran and why, in a line for the Graph button's tool tip.
    QString lastWay() const { return m_lastWay; }
    // The offices' processes.
    QList<qint64> processIds() const;

    // Below this cost per point in the user's office a scan stays there: the offices' start and
    // the snapshot outweigh what more cores save.
    static constexpr double thresholdMsPerPoint = 3.0;

private:
    bool decide(int points, double msPerPoint);
    bool startPool(const QString &snapshot, const QStringList &inputs, const QStringList &watches);
    bool refuse(const QString &why);
    void removeSnapshot();
    void close();

    Mode m_mode = Mode::Automatic;
    std::unique_ptr<SweepPool> m_pool;
    std::unique_ptr<QTemporaryDir> m_snapshots;
    QString m_snapshot;
    int m_maximumWorkers = 16;
    int m_workerCount = 0;
    int m_inputCount = 0;
    bool m_failed = false;
    // The last cold start's length, for the next cold start's estimate.
    double m_startSeconds = 0.0;
    QString m_lastWay;
    QTimer m_idleTimer;
};

#endif
