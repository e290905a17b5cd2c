#ifndef CALCSWEEPPOOL_H
#define CALCSWEEPPOOL_H

#include "excel/sweeppool.h"

#include <memory>

// The sweep pool over headless offices: one thread per office hands batches of points to the
// office's scan kernel. The first office also finds the cells, so a wrong reference is reported
// while the other offices are still starting.
class CalcSweepPool : public SweepPool
{
public:
    CalcSweepPool();
    ~CalcSweepPool() override;

    Outcome start(const Setup &setup, Cells *cells, QString *message) override;
    Outcome evaluate(qint64 count, const PointValues &values, QList<double> *results,
                     const Progress &progress) override;
    void stop() override;
    QList<qint64> processIds() const override;
    int interruption() const override;
    QStringList warnings() const override;

    // How many times a batch is tried before its points are given up.
    static constexpr int batchTries = 3;

private:
    struct State;
    struct Run;

    Outcome launch(int workers, QString *message);
    Outcome prepareFirst(const Setup &setup, Cells *cells, QString *message);
    void work(Run &run, int index);
    bool restart(Run &run, int index);
    void abandon();

    std::unique_ptr<State> state;
};

#endif
