#include "excel/calc/calcsweeppool.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcsweepfolder.h"
#include "excel/calc/calcsweepworker.h"
#include "excel/excellogging.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

using namespace css;

namespace {

const int handledSignals[] = {SIGINT, SIGTERM, SIGHUP};
const int progressMs = 100;
// A batch is a share of the points not yet handed out, so batches shrink as the run goes on: the
// first ones are large, which makes a call's own cost small beside its points, and the last ones
// are single points, so that offices that end their work at different times do not leave the
// others idle for long at the end, and a call of a few points still gives every office some.
const qint64 largestBatch = 256;
const qint64 sharesPerWorker = 2;

std::atomic<bool> interrupted{false};
std::atomic<int> caughtSignal{0};

extern "C" void noteSignal(int number)
{
    caughtSignal = number;
    interrupted = true;
}

struct Batch
{
    qint64 first = 0;
    qint64 size = 0;
    int tries = 0;
};

QString pointRange(const Batch &batch)
{
    return batch.size == 1
               ? QString("point %1").arg(batch.first)
               : QString("points %1 to %2").arg(batch.first).arg(batch.first + batch.size - 1);
}

} // namespace

struct CalcSweepPool::State
{
    QString workbook;
    std::unique_ptr<QTemporaryDir> folder;
    std::vector<std::unique_ptr<CalcSweepWorker>> workers;
    QList<CalcSweepCells::Cell> inputs;
    QList<CalcSweepCells::Cell> watches;
    struct sigaction previous[std::size(handledSignals)] = {};
    bool handling = false;
    mutable std::mutex mutex;
    QStringList warnings;

    void warn(const QString &text)
    {
        qCWarning(lcLink).noquote() << text;
        const std::lock_guard<std::mutex> lock(mutex);
        warnings.append(text);
    }
};

// Shared by the threads of one evaluate(); guarded by its mutex but for the result slices,
// which each batch writes alone.
struct CalcSweepPool::Run
{
    const PointValues *values = nullptr;
    double *results = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    // Batches of failed calls, to be done again before the points not yet handed out.
    std::deque<Batch> retries;
    qint64 next = 0;
    qint64 count = 0;
    qint64 inFlight = 0;
    qint64 done = 0;
    qint64 lost = 0;
    int working = 0;
    std::vector<std::atomic<qint64>> offices;

    Run(size_t workers, qint64 points) : count(points), offices(workers) {}

    bool take(Batch &batch)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this]() {
            return interrupted || !retries.empty() || next < count || inFlight == 0;
        });
        if (interrupted)
            return false;
        if (!retries.empty()) {
            batch = retries.front();
            retries.pop_front();
        } else if (next < count) {
            const qint64 shares = qint64(offices.size()) * sharesPerWorker;
            const qint64 share = (count - next + shares - 1) / shares;
            batch = {next, std::min(share, largestBatch), 0};
            next += batch.size;
        } else {
            return false;
        }
        ++inFlight;
        return true;
    }

    void finish(const Batch &batch, bool lostPoints)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        --inFlight;
        done += batch.size;
        if (lostPoints)
            lost += batch.size;
        changed.notify_all();
    }

    void retry(const Batch &batch)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        --inFlight;
        retries.push_front(batch);
        changed.notify_all();
    }
};

CalcSweepPool::CalcSweepPool() : state(std::make_unique<State>()) {}

CalcSweepPool::~CalcSweepPool()
{
    stop();
    if (state->handling) {
        for (size_t i = 0; i < std::size(handledSignals); ++i)
            sigaction(handledSignals[i], &state->previous[i], nullptr);
    }
}

int CalcSweepPool::interruption() const
{
    return interrupted ? caughtSignal.load() : 0;
}

QStringList CalcSweepPool::warnings() const
{
    const std::lock_guard<std::mutex> lock(state->mutex);
    return state->warnings;
}

SweepPool::Outcome CalcSweepPool::start(const Setup &setup, Cells *cells, QString *message)
{
    if (setup.handleSignals && !state->handling) {
        struct sigaction action = {};
        action.sa_handler = noteSignal;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(handledSignals); ++i)
            sigaction(handledSignals[i], &action, &state->previous[i]);
        state->handling = true;
    }

    const QFileInfo file(setup.workbook);
    if (!file.isFile() || !file.isReadable()) {
        *message = QString("cannot read the workbook %1").arg(setup.workbook);
        return Outcome::CannotOpen;
    }
    state->workbook = file.absoluteFilePath();
    state->inputs.clear();
    state->watches.clear();
    const Outcome launched = launch(std::max(1, setup.workers), message);
    if (launched != Outcome::Done)
        return launched;
    const Outcome outcome = prepareFirst(setup, cells, message);
    if (outcome != Outcome::Done)
        stop();
    return interrupted ? Outcome::Interrupted : outcome;
}

// Offices that run take the new workbook; the others are started.
SweepPool::Outcome CalcSweepPool::launch(int workers, QString *message)
{
    if (state->workers.size() != size_t(workers))
        stop();
    if (!state->folder) {
        state->folder = CalcSweepFolder::create();
        if (!state->folder) {
            *message = QString("cannot make a temporary folder in %1").arg(QDir::tempPath());
            return Outcome::NoOffice;
        }
    }
    for (int i = 0; i < workers; ++i) {
        if (size_t(i) == state->workers.size())
            state->workers.push_back(std::make_unique<CalcSweepWorker>(
                state->folder->filePath(QString("worker%1").arg(i))));
        CalcSweepWorker &worker = *state->workers[size_t(i)];
        if (worker.isAlive()) {
            if (worker.takeWorkbook(state->workbook, message))
                continue;
        } else {
            worker.kill();
            if (worker.launch(state->workbook, message))
                continue;
        }
        stop();
        return i == 0 ? Outcome::CannotOpen : Outcome::NoOffice;
    }
    return Outcome::Done;
}

SweepPool::Outcome CalcSweepPool::prepareFirst(const Setup &setup, Cells *cells, QString *message)
{
    CalcSweepWorker &first = *state->workers.front();
    QString why;
    switch (first.open(&why, interrupted)) {
    case CalcSweepWorker::Failure::None:
        break;
    case CalcSweepWorker::Failure::CannotOpen:
        *message = QString("cannot open the workbook %1: %2").arg(setup.workbook, why);
        return Outcome::CannotOpen;
    case CalcSweepWorker::Failure::NoOffice:
        *message = "no office: " + why;
        return Outcome::NoOffice;
    case CalcSweepWorker::Failure::Interrupted:
        return Outcome::Interrupted;
    }
    const uno::Reference<frame::XModel> document = first.document();
    QSet<QString> inputNames;
    try {
        for (const QString &reference : setup.inputs) {
            const QList<CalcSweepCells::Cell> found = CalcSweepCells::resolve(document, reference);
            if (found.size() != 1) {
                *message = QString("the input \"%1\" is not a single cell").arg(reference);
                return Outcome::BadCell;
            }
            const CalcSweepCells::Cell &cell = found.first();
            if (inputNames.contains(cell.qualified())) {
                *message = QString("the input \"%1\" is varied twice (%2)")
                               .arg(reference, cell.qualified());
                return Outcome::BadCell;
            }
            const QString problem = CalcSweepCells::inputProblem(document, cell);
            if (!problem.isEmpty()) {
                *message = QString("the input %1 %2").arg(cell.qualified(), problem);
                return Outcome::UnusableInput;
            }
            inputNames.insert(cell.qualified());
            state->inputs.append(cell);
            cells->inputAddresses.append(cell.qualified());
            cells->inputLabels.append(CalcSweepCells::label(document, cell));
        }
        for (const QString &reference : setup.watches) {
            for (const CalcSweepCells::Cell &cell : CalcSweepCells::resolve(document, reference)) {
                if (inputNames.contains(cell.qualified())) {
                    *message = QString("the watch \"%1\" includes the input %2")
                                   .arg(reference, cell.qualified());
                    return Outcome::BadCell;
                }
                state->watches.append(cell);
                cells->watchAddresses.append(cell.qualified());
                cells->watchLabels.append(CalcSweepCells::label(document, cell));
            }
        }
        first.bind(state->inputs, state->watches);
    } catch (const CalcSweepCells::BadReference &e) {
        *message = QString::fromStdString(e.what());
        return Outcome::BadCell;
    } catch (const uno::Exception &e) {
        *message = "the office could not read the cells: " + toQString(e.Message);
        return Outcome::NoOffice;
    }
    return Outcome::Done;
}

// A worker whose office fails is started again on a fresh profile and copy, a few times; after
// that it rests until the pool starts again, so that later calls do not wait for it.
bool CalcSweepPool::restart(Run &run, int index)
{
    CalcSweepWorker &worker = *state->workers[size_t(index)];
    for (int attempt = 0; attempt < batchTries && !interrupted; ++attempt) {
        run.offices[size_t(index)] = 0;
        worker.kill();
        QString why;
        if (worker.launch(state->workbook, &why) &&
            worker.open(&why, interrupted) == CalcSweepWorker::Failure::None) {
            try {
                worker.bind(state->inputs, state->watches);
                run.offices[size_t(index)] = worker.processId();
                return true;
            } catch (const uno::Exception &e) {
                why = toQString(e.Message);
            }
        }
        if (!interrupted)
            state->warn(
                QString("Office %1 could not be started again: %2").arg(index + 1).arg(why));
    }
    worker.kill();
    return false;
}

void CalcSweepPool::work(Run &run, int index)
{
    CalcSweepWorker &worker = *state->workers[size_t(index)];
    const size_t inputCount = size_t(state->inputs.size());
    const size_t watchCount = size_t(state->watches.size());
    bool ready = worker.isReady();
    if (!ready && !worker.hasOffice()) {
        const std::lock_guard<std::mutex> lock(run.mutex);
        --run.working;
        run.changed.notify_all();
        return;
    }
    if (!ready) {
        QString why;
        ready = worker.open(&why, interrupted) == CalcSweepWorker::Failure::None;
        if (ready) {
            try {
                worker.bind(state->inputs, state->watches);
            } catch (const uno::Exception &) {
                ready = false;
            }
        }
        if (!ready)
            ready = restart(run, index);
    }
    run.offices[size_t(index)] = worker.processId();
    Batch batch;
    while (ready && run.take(batch)) {
        QList<double> values;
        values.reserve(qsizetype(batch.size * qint64(inputCount)));
        for (qint64 point = batch.first; point < batch.first + batch.size; ++point)
            values.append((*run.values)(point));
        const std::optional<QList<double>> results = worker.evaluate(values);
        if (results) {
            std::copy(results->begin(), results->end(),
                      run.results + size_t(batch.first) * watchCount);
            run.finish(batch, false);
            continue;
        }
        if (interrupted)
            break;
        if (++batch.tries >= batchTries) {
            state->warn(QString("The offices failed %1 %2 times; left empty")
                            .arg(pointRange(batch))
                            .arg(batchTries));
            run.finish(batch, true);
        } else {
            state->warn(QString("Office %1 failed %2; starting it again")
                            .arg(index + 1)
                            .arg(pointRange(batch)));
            run.retry(batch);
        }
        ready = restart(run, index);
    }
    const std::lock_guard<std::mutex> lock(run.mutex);
    --run.working;
    run.changed.notify_all();
}

SweepPool::Outcome CalcSweepPool::evaluate(qint64 count, const PointValues &values,
                                           QList<double> *results, const Progress &progress)
{
    const size_t workers = state->workers.size();
    results->fill(std::numeric_limits<double>::quiet_NaN(),
                  qsizetype(count * state->watches.size()));
    if (workers == 0 || interrupted)
        return interrupted ? Outcome::Interrupted : Outcome::NoOffice;
    Run run(workers, count);
    run.values = &values;
    run.results = results->data();
    run.working = int(workers);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < workers; ++i)
        threads.emplace_back([this, &run, i]() { work(run, int(i)); });

    qint64 reported = -1;
    for (;;) {
        std::unique_lock<std::mutex> lock(run.mutex);
        run.changed.wait_for(lock, std::chrono::milliseconds(progressMs));
        const qint64 done = run.done;
        const bool finished = run.working == 0;
        lock.unlock();
        if (interrupted) {
            // A call in progress ends when its office does.
            for (std::atomic<qint64> &office : run.offices) {
                if (office > 0)
                    ::kill(pid_t(office.load()), SIGKILL);
            }
            run.changed.notify_all();
        }
        if (done != reported && progress) {
            progress(done);
            reported = done;
        }
        if (finished)
            break;
    }
    for (std::thread &thread : threads)
        thread.join();
    if (interrupted) {
        abandon();
        return Outcome::Interrupted;
    }
    if (run.done < count) {
        state->warn(QString("No office was left to compute %1 points").arg(count - run.done));
        return Outcome::PointsLost;
    }
    return run.lost > 0 ? Outcome::PointsLost : Outcome::Done;
}

// Nothing is saved on the way out of an interruption, so the offices are killed, not asked.
void CalcSweepPool::abandon()
{
    for (const std::unique_ptr<CalcSweepWorker> &worker : state->workers)
        worker->kill();
    state->workers.clear();
    state->folder.reset();
}

QList<qint64> CalcSweepPool::processIds() const
{
    QList<qint64> processes;
    for (const std::unique_ptr<CalcSweepWorker> &worker : state->workers) {
        if (const qint64 process = worker->processId())
            processes.append(process);
    }
    return processes;
}

void CalcSweepPool::stop()
{
    if (interrupted) {
        abandon();
        return;
    }
    for (const std::unique_ptr<CalcSweepWorker> &worker : state->workers)
        worker->stop();
    state->workers.clear();
    state->folder.reset();
}
