#ifndef SWEEPCOMMAND_H
#define SWEEPCOMMAND_H

#include "excel/sweeppool.h"
#include "scan/sweepoptions.h"

#include <QElapsedTimer>

// One run of the sweep program: the sweep (or the merge) its options ask for, with the
// diagnostics and the exit status.
class SweepCommand
{
public:
    enum Status {
        Success = 0,
        BadArguments = 1, // also shards that do not belong together
        BadWorkbook = 2,  // cannot be opened, an unusable input, or the output cannot be written
        EmptyPoints = 3,
        SignalBase = 128,
    };

    explicit SweepCommand(const SweepOptions &options);
    int run();

private:
    int sweep();
    int startFailure(SweepPool::Outcome outcome, const QString &message, int signal) const;
    QByteArray table(const SweepPool::Cells &cells, const QList<double> &results) const;
    QString sweepIdentity(const SweepPool::Cells &cells) const;
    void showProgress(qint64 done, qint64 total);
    void fail(const QString &message) const;

    SweepOptions options;
    QElapsedTimer clock;
    bool showsProgress = false;
};

#endif
