#include "app/scanworkers.h"
#include "app/applogging.h"

#include "excel/excelbackend.h"
#include "excel/sweeppool.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelworkbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <thread>

namespace {

const int idleCloseMs = 5 * 60 * 1000;
// Until a start has been measured in this session: an office's start on a quiet machine.
const double coldStartSeconds = 3.0;
// A warm start only opens the snapshot in the offices that run.
const double warmStartSeconds = 0.5;

// "'Sheet name'!$B$3" for each cell: the cell in any copy of its workbook.
QStringList referencesOf(const QList<VIVExcelRange *> &ranges)
{
    QStringList references;
    for (VIVExcelRange *range : ranges) {
        QString sheet = range->sheet(false)->name();
        sheet.replace('\'', "''");
        references.append(QString("'%1'!%2").arg(sheet, range->address()));
    }
    return references;
}

// The workbook that holds every cell; none when they are spread over several or one is gone.
VIVExcelWorkbook *commonWorkbook(const QList<VIVExcelRange *> &ranges)
{
    VIVExcelWorkbook *common = nullptr;
    for (VIVExcelRange *range : ranges) {
        VIVExcelSheet *sheet = range ? range->sheet(false) : nullptr;
        VIVExcelWorkbook *book = sheet ? sheet->workbook() : nullptr;
        if (!book || (common && book->name() != common->name()))
            return nullptr;
        common = book;
    }
    return common;
}

// A point costs the recalculation its write sets off and then a full one, which is about two
// full recalculations, so one tells what a point costs; it changes nothing in the workbook.
double msPerPoint(VIVExcelWorkbook *book)
{
    QElapsedTimer clock;
    clock.start();
    book->recalculateFully();
    return 2 * clock.nsecsElapsed() / 1e6;
}

} // namespace

ScanWorkers::ScanWorkers(QObject *parent) : QObject(parent)
{
    setObjectName("scanWorkers");
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(idleCloseMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &ScanWorkers::close);
}

ScanWorkers::~ScanWorkers()
{
    close();
}

bool ScanWorkers::refuse(const QString &why)
{
    m_lastWay = QString("Last scan: in %1").arg(ExcelBackend::applicationName());
    if (!why.isEmpty())
        m_lastWay += QString(" (%1)").arg(why);
    qCDebug(lcScan).noquote() << m_lastWay;
    return false;
}

bool ScanWorkers::prepare(VIVExcelApplication *application,
                          const QList<VIVExcelRange *> &writeRanges,
                          const QList<VIVExcelRange *> &readRanges, int points)
{
    m_idleTimer.stop();
    if (m_failed) {
        m_failed = false;
        close();
        return false;
    }
    if (m_mode == Mode::Never || !application || points <= 0 || writeRanges.isEmpty() ||
        readRanges.isEmpty())
        return refuse(QString());
    VIVExcelWorkbook *book = commonWorkbook(writeRanges + readRanges);
    if (!book)
        return refuse("the scan's cells are not all in one workbook");
    if (!decide(points, m_mode == Mode::Automatic ? msPerPoint(book) : 0))
        return false;
    const QString problem = book->copyProblem();
    if (!problem.isEmpty())
        return refuse(problem);
    if (!m_snapshots)
        m_snapshots = ExcelBackend::createPrivateFolder();
    const QString snapshot = m_snapshots ? book->storeSnapshot(m_snapshots->path()) : QString();
    if (snapshot.isEmpty())
        return refuse("the workbook could not be copied");
    m_snapshot = snapshot;
    if (startPool(snapshot, referencesOf(writeRanges), referencesOf(readRanges)))
        return true;
    removeSnapshot();
    return false;
}

// A scan moves to the workers when they are predicted to end it sooner, their start included.
bool ScanWorkers::decide(int points, double msPerPoint)
{
    const int cores = QThread::idealThreadCount();
    m_workerCount = std::max(1, std::min({cores, points, m_maximumWorkers}));
    if (m_mode == Mode::Always)
        return true;
    if (cores < 2)
        return refuse("one core only");
    if (msPerPoint < thresholdMsPerPoint)
        return refuse(QString("about %1 ms a point: quick enough here").arg(msPerPoint, 0, 'f', 1));
    const double start =
        m_pool ? warmStartSeconds : (m_startSeconds > 0 ? m_startSeconds : coldStartSeconds);
    const double here = points * msPerPoint / 1000;
    const double there = start + here / m_workerCount;
    if (there >= here)
        return refuse(QString("%1 points of about %2 ms: too few to repay starting the offices")
                          .arg(points)
                          .arg(msPerPoint, 0, 'f', 0));
    return true;
}

// The offices start on a thread of their own while the program's events are served, so the
// window stays live and a stop request waits for the scan's own stop test.
bool ScanWorkers::startPool(const QString &snapshot, const QStringList &inputs,
                            const QStringList &watches)
{
    const bool cold = !m_pool;
    if (cold)
        m_pool = ExcelBackend::createSweepPool();
    SweepPool::Setup setup{snapshot, inputs, watches, m_workerCount, false};
    SweepPool::Outcome outcome = SweepPool::Outcome::NoOffice;
    QString message;
    std::atomic<bool> done{false};
    QElapsedTimer clock;
    clock.start();
    std::thread starting([&]() {
        SweepPool::Cells cells;
        outcome = m_pool->start(setup, &cells, &message);
        QList<double> none;
        if (outcome == SweepPool::Outcome::Done)
            outcome = m_pool->evaluate(0, {}, &none, {});
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    starting.join();
    if (outcome != SweepPool::Outcome::Done) {
        close();
        return refuse("its private offices could not start: " + message);
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (cold)
        m_startSeconds = seconds;
    m_inputCount = int(inputs.size());
    m_lastWay = QString("Last scan: on %1, each on a copy of the workbook")
                    .arg(m_workerCount == 1 ? QString("1 private office")
                                            : QString("%1 private offices").arg(m_workerCount));
    qCDebug(lcScan).noquote() << m_lastWay << "ready after" << seconds << "s";
    return true;
}

std::optional<QList<double>> ScanWorkers::evaluate(const QList<double> &pointValues)
{
    if (!m_pool || m_inputCount == 0)
        return std::nullopt;
    const qint64 count = pointValues.size() / m_inputCount;
    QList<double> results;
    const SweepPool::Outcome outcome = m_pool->evaluate(
        count, [&](qint64 point) { return pointValues.mid(point * m_inputCount, m_inputCount); },
        &results, {});
    if (outcome != SweepPool::Outcome::Done) {
        qCWarning(lcScan).noquote()
            << "The private offices failed:" << m_pool->warnings().join("; ");
        m_failed = true;
        m_lastWay = QString("Last scan: in %1 (its private offices failed)")
                        .arg(ExcelBackend::applicationName());
        return std::nullopt;
    }
    return results;
}

// An office started again during the scan opens the snapshot anew; after the scan nobody needs it.
void ScanWorkers::finish()
{
    removeSnapshot();
    if (m_pool)
        m_idleTimer.start();
}

void ScanWorkers::removeSnapshot()
{
    if (!m_snapshot.isEmpty())
        QFile::remove(m_snapshot);
    m_snapshot.clear();
}

QList<qint64> ScanWorkers::processIds() const
{
    return m_pool ? m_pool->processIds() : QList<qint64>();
}

void ScanWorkers::close()
{
    m_idleTimer.stop();
    if (m_pool)
        m_pool->stop();
    m_pool.reset();
    m_snapshot.clear();
    m_snapshots.reset();
}
