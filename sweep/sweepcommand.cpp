#include "sweep/sweepcommand.h"
#include "excel/excelbackend.h"
#include "scan/sweeptable.h"
#include "sweep/sweepplot.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cstdio>
#include <unistd.h>

namespace {

QString fingerprint(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly))
        hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex().left(16));
}

} // namespace

SweepCommand::SweepCommand(const SweepOptions &options) : options(options) {}

void SweepCommand::fail(const QString &message) const
{
    std::fprintf(stderr, "marlowin-sweep: %s\n", qPrintable(message));
}

int SweepCommand::run()
{
    // The office's own chatter is for the program's developers; a user sees the diagnostics.
    QLoggingCategory::setFilterRules(options.quiet ? "*.info=false\n*.warning=false"
                                                   : "*.info=false");
    if (options.command == SweepOptions::Command::Merge) {
        QString error;
        if (SweepTable::merge(options.out, options.shards, &error))
            return Success;
        fail(error);
        return BadArguments;
    }
    return sweep();
}

int SweepCommand::startFailure(SweepPool::Outcome outcome, const QString &message, int signal) const
{
    if (outcome == SweepPool::Outcome::Interrupted)
        return SignalBase + signal;
    fail(message);
    return outcome == SweepPool::Outcome::BadCell ? BadArguments : BadWorkbook;
}

// Names everything that makes two runs compute the same points, so that only shards of one
// sweep are merged.
QString SweepCommand::sweepIdentity(const SweepPool::Cells &cells) const
{
    QStringList axes;
    for (const SweepAxis &axis : options.grid.axes())
        axes.append(axis.text());
    return QString("vary %1; watch %2; workbook %3 %4")
        .arg(axes.join(' '), cells.watchAddresses.join(','), QFileInfo(options.workbook).fileName(),
             fingerprint(options.workbook));
}

QByteArray SweepCommand::table(const SweepPool::Cells &cells, const QList<double> &results) const
{
    const SweepTable layout(options.format, cells.inputAddresses + cells.watchAddresses,
                            cells.inputLabels + cells.watchLabels);
    QByteArray text;
    if (options.shardCount > 1)
        text += SweepTable::shardLine(options.shardIndex, options.shardCount,
                                      options.grid.pointCount(), sweepIdentity(cells));
    text += layout.header();
    const qsizetype watchCount = cells.watchAddresses.size();
    for (qint64 i = 0; i < options.pointCount(); ++i) {
        const qint64 point = options.gridPoint(i);
        text += layout.row(point, options.grid.values(point), results.constData() + i * watchCount,
                           watchCount);
    }
    return text;
}

void SweepCommand::showProgress(qint64 done, qint64 total)
{
    if (!showsProgress)
        return;
    const double seconds = clock.elapsed() / 1000.0;
    const double rate = seconds > 0 ? done / seconds : 0.0;
    const QString left =
        rate > 0 ? QString("%1 s left").arg(qRound64((total - done) / rate)) : QString("");
    std::fprintf(stderr, "\r%lld of %lld points, %.1f points/s, %s   ", done, total, rate,
                 qPrintable(left));
    if (done == total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

int SweepCommand::sweep()
{
    showsProgress = !options.quiet && ::isatty(STDERR_FILENO);
    const std::unique_ptr<SweepPool> pool = ExcelBackend::createSweepPool();
    const qint64 total = options.pointCount();
    SweepPool::Setup setup;
    setup.workbook = options.workbook;
    setup.inputs.reserve(options.grid.axes().size());
    for (const SweepAxis &axis : options.grid.axes())
        setup.inputs.append(axis.cell);
    setup.watches = options.watches;
    setup.workers = int(std::min<qint64>(options.jobs, std::max<qint64>(1, total)));
    SweepPool::Cells cells;
    QString message;
    const SweepPool::Outcome started = pool->start(setup, &cells, &message);
    if (started != SweepPool::Outcome::Done)
        return startFailure(started, message, pool->interruption());

    clock.start();
    QList<double> results;
    const SweepOptions &sweep = options;
    const SweepPool::Outcome outcome = pool->evaluate(
        total, [&sweep](qint64 index) { return sweep.grid.values(sweep.gridPoint(index)); },
        &results, [this, total](qint64 done) { showProgress(done, total); });
    if (outcome == SweepPool::Outcome::Interrupted)
        return SignalBase + pool->interruption();
    pool->stop();
    QString error;
    if (!SweepTable::write(options.out, table(cells, results), &error)) {
        fail(error);
        return BadWorkbook;
    }
    if (!options.plotDirectory.isEmpty() &&
        !SweepPlot(options.grid, cells).write(options.plotDirectory, results, &error)) {
        fail(error);
        return BadWorkbook;
    }
    if (outcome != SweepPool::Outcome::Done) {
        fail("some points stayed empty after every try:\n" + pool->warnings().join('\n'));
        return EmptyPoints;
    }
    return Success;
}
