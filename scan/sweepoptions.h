#ifndef SWEEPOPTIONS_H
#define SWEEPOPTIONS_H

#include "scan/sweepgrid.h"
#include "scan/sweeptable.h"

#include <QStringList>
#include <optional>

// The command line of a sweep:
//   WORKBOOK --vary CELL=FROM:TO:COUNT [--vary ...] --watch CELL[,CELL|RANGE...] [--out FILE]
//   [--format csv|tsv] [--jobs N] [--shard I/N] [--plot DIR] [--quiet] [--force]
// or of joining shards: merge OUT SHARD...
struct SweepOptions
{
    enum class Command { Sweep, Merge };

    Command command = Command::Sweep;
    QString workbook;
    SweepGrid grid;
    QStringList watches;
    QString out = "-";
    SweepTable::Format format = SweepTable::Format::Csv;
    int jobs = 1;
    int shardIndex = 1; // 1-based
    int shardCount = 1;
    QString plotDirectory;
    bool quiet = false;
    QStringList shards; // merge: the shard files

    // Grids above this many points are refused unless forced.
    static constexpr qint64 largestUnforced = 100000000;

    // Nothing, and why in error (naming the argument), for a command line that cannot run.
    static std::optional<SweepOptions> parse(const QStringList &arguments, int defaultJobs,
                                             QString *error);
    static QString usage();
    // The points of the grid this run computes, in order: the shard's share of them.
    qint64 pointCount() const;
    qint64 gridPoint(qint64 index) const { return shardIndex - 1 + index * shardCount; }
};

#endif
