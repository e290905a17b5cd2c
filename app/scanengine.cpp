#include "app/scanengine.h"
#include "app/applogging.h"
#include "app/scanstate.h"
#include "app/scanworkers.h"

#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

const int largestBatch = 1024;

} // namespace

ScanEngine::ScanEngine(QObject *controller, QObject *parent)
    : QObject(parent), m_controller(controller)
{}

void ScanEngine::setWatches(const QList<VIVExcelWatchView *> &watches)
{
    m_watches.clear();
    m_readRanges.clear();
    for (VIVExcelWatchView *watch : watches) {
        m_watches.append(watch);
        m_readRanges.append(watch->range());
    }
}

void ScanEngine::prepareWatches(const QList<int> &positions)
{
    QList<DataDimension> dimensions;
    for (const ScanDimension &axis : m_grid.dimensions())
        dimensions.append({axis.pointCount(), axis.label, axis.minimum, axis.maximum});
    const double factor = m_watches.size() * 10 > 0 ? m_watches.size() * 10 : 1.1;
    for (VIVExcelWatchView *watch : std::as_const(m_watches)) {
        if (!watch)
            continue;
        if (watch->data()->graphDepth() >= GraphDepthSurface)
            watch->setMinRepaintInterval(1000);
        watch->setRepaintFactor(factor);
        watch->restartRepaintClock();
        watch->data()->setDimensions(dimensions);
        watch->data()->setDataExtractionSettings({positions, true});
    }
}

QList<VIVExcelRange *> ScanEngine::writeRanges() const
{
    QList<VIVExcelRange *> ranges;
    const QList<ScanDimension> &axes = m_grid.dimensions();
    for (auto axis = axes.crbegin(); axis != axes.crend(); ++axis)
        ranges.append(axis->range);
    return ranges;
}

ScanEngine::Outcome ScanEngine::run()
{
    m_scanClock.start();
    m_pointsScanned = 0;
    m_msPerPoint = 0.0;
    m_totalPoints = m_grid.totalPoints();
    m_minPointsBeforeStop = m_grid.minPointsBeforeStop();
    if (m_totalPoints == 0 || !m_application)
        return Outcome::Completed;

    ScanWalk walk(m_totalPoints);
    int index = 0;
    // The corners come one by one, each followed by a stop test; the first also shows whether
    // the user's cells take the writes (the workers' copies were checked when they opened).
    for (int corner = 0; corner < 2 && walk.next(index); ++corner) {
        if (!evaluate({index}))
            return m_failure;
        if (corner == 0 && !m_workers && !writesTookEffect(m_grid.positions(index)))
            return Outcome::WriteRefused;
        if (scanShouldStop())
            return Outcome::Stopped;
    }

    QElapsedTimer sinceStopTest;
    sinceStopTest.start();
    QList<int> batch;
    while (true) {
        const int size = nextBatchSize();
        if (sinceStopTest.elapsed() + size * m_msPerPoint > stopTestIntervalMs) {
            emit progressChanged(double(m_pointsScanned) / m_totalPoints);
            if (scanShouldStop())
                return Outcome::Stopped;
            sinceStopTest.start();
        }
        batch.clear();
        while (batch.size() < size && walk.next(index))
            batch.append(index);
        if (batch.isEmpty())
            return Outcome::Completed;
        if (!evaluate(batch))
            return m_failure;
    }
}

// As many points as fit in the batch budget at the speed measured so far; on workers, at least
// one point for each.
int ScanEngine::nextBatchSize() const
{
    const int least = m_workers ? m_workers->workerCount() : 1;
    if (m_msPerPoint <= 0)
        return least;
    return std::clamp(int(batchBudgetMs / m_msPerPoint), least, std::max(least, largestBatch));
}

bool ScanEngine::evaluate(const QList<int> &indices)
{
    QList<qreal> pointValues;
    for (int index : indices) {
        const QList<double> values = m_grid.values(m_grid.positions(index));
        for (auto value = values.crbegin(); value != values.crend(); ++value)
            pointValues.append(*value);
    }
    QElapsedTimer clock;
    clock.start();
    QList<qreal> results;
    if (m_workers) {
        const std::optional<QList<double>> computed = m_workers->evaluate(pointValues);
        if (!computed) {
            m_failure = Outcome::WorkersFailed;
            return false;
        }
        results = *computed;
    } else {
        results = m_application->evaluatePoints(writeRanges(), pointValues, m_readRanges);
        if (officeGone(results)) {
            m_failure = Outcome::OfficeGone;
            return false;
        }
    }
    // The latest figure, not an average: a call's fixed cost spread over one point says little
    // about a batch, and an average with it would keep the next batches small for long.
    m_msPerPoint = clock.nsecsElapsed() / 1e6 / indices.size();
    store(indices, results);
    m_pointsScanned += int(indices.size());
    return true;
}

void ScanEngine::store(const QList<int> &indices, const QList<qreal> &results)
{
    const qsizetype width = m_readRanges.size();
    if (results.size() != indices.size() * width) {
        qCWarning(lcScan) << "Incorrect returned values length" << results.size()
                          << indices.size() * width;
        return;
    }
    for (qsizetype p = 0; p < indices.size(); ++p) {
        const QList<int> positions = m_grid.positions(indices[p]);
        for (qsizetype j = 0; j < width; ++j) {
            if (m_watches[j])
                m_watches[j]->data()->setValue(positions, results[p * width + j]);
        }
    }
}

// A dead office reads every cell as not a number; only then is it asked whether it answers.
bool ScanEngine::officeGone(const QList<qreal> &results) const
{
    const bool allMissing =
        std::all_of(results.begin(), results.end(), [](qreal value) { return std::isnan(value); });
    return allMissing && m_application->hwnd() == 0;
}

// A protected sheet or a cell that refuses the write would leave every point at the same
// value; the first point tells.
bool ScanEngine::writesTookEffect(const QList<int> &positions)
{
    const QList<double> values = m_grid.values(positions);
    for (int i = 0; i < m_grid.dimensions().size(); ++i) {
        VIVExcelRange *range = m_grid.dimensions()[i].range;
        bool isNumber = false;
        const double read = range->value().toDouble(&isNumber);
        if (!isNumber || float(read) != float(values[i])) {
            qCWarning(lcScan) << "The cell refused the write:" << range->address();
            return false;
        }
    }
    return true;
}

bool ScanEngine::scanShouldStop()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!ScanState::of(m_controller)->stopRequested())
        return false;
    const qint64 elapsed = m_scanClock.elapsed();
    return elapsed > 1000 || (elapsed > 150 && m_pointsScanned >= m_minPointsBeforeStop);
}

void ScanEngine::finishWatches(bool completed)
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches)) {
        if (!watch)
            continue;
        MinMaxMultiDimData *data = watch->data();
        data->finishScan(completed);
        watch->update(true);
        if (data->graphDepth() >= GraphDepthSurface)
            watch->setMinRepaintInterval(completed ? 50 : 1000);
        watch->setRepaintFactor(1.1);
        watch->setCanUseFastDraw(false);
    }
}

QString ScanEngine::progressText(int phase) const
{
    const qint64 elapsed = elapsedMs();
    switch (phase) {
    case 0: {
        if (m_pointsScanned <= 0 || m_totalPoints <= 0)
            return QString();
        const auto estimate = qint64(elapsed / (double(m_pointsScanned) / m_totalPoints));
        const qint64 remaining = estimate - elapsed;
        if (estimate > 3600000)
            return "Till " + QDateTime::currentDateTime().addMSecs(remaining).toString("hh:mm");
        if (remaining / 60000 < 1)
            return QString("%1 s remain.").arg(remaining / 1000);
        return QString("%1 min remain.").arg(remaining / 60000);
    }
    case 1: {
        const float p = m_totalPoints > 0 ? m_pointsScanned * 100.0f / m_totalPoints : 0.0f;
        if (p >= 10)
            return QString("%1% scanned").arg(int(std::floor(p)));
        return QString("%1% scanned").arg(double(p), 0, 'f', 1);
    }
    case 2:
        if (m_pointsScanned < 1)
            return QString();
        return QString("%1 ms/point").arg(elapsed / m_pointsScanned);
    case 3:
        return QString("%1 points").arg(m_totalPoints);
    default:
        return "Stop Scan";
    }
}
