#ifndef SWEEPPOOL_H
#define SWEEPPOOL_H

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Offices of the program's own that evaluate the points of a sweep side by side, each headless
// with its own profile and pipe, on its own copy of one workbook, so the user's file is never
// opened. Every point is written and then read after a full recalculation, so the values equal a
// recalculation of the whole workbook at that point whatever the workbook's calculation
// settings, and a point's values do not depend on the points before it or on which office took
// it. An office that dies is started again and its unfinished points are evaluated again. Every
// office, copy and profile is gone after stop(), after the destructor, and, for a pool that
// handles signals, when the process is interrupted (SIGINT, SIGTERM, SIGHUP) during start() or
// evaluate(). A pool started again with as many workers keeps its offices and only opens the new
// workbook in them.
class SweepPool
{
public:
    enum class Outcome {
        Done,
        BadCell,       // a reference names no cell, or not the kind of cells it must
        UnusableInput, // an input cell holds a formula or a text, or is protected
        CannotOpen,    // the workbook cannot be read or opened
        NoOffice,      // no office could be started
        Interrupted,   // a signal ended the work; its number is interruption()
        PointsLost,    // points stayed empty after every try
    };

    // The cells as the pool found them in the workbook.
    struct Cells
    {
        QStringList inputAddresses;
        QStringList inputLabels;
        // A rectangle is taken apart into its cells, row after row.
        QStringList watchAddresses;
        QStringList watchLabels;
    };

    struct Setup
    {
        QString workbook;
        // A1 addresses with an optional sheet ("Sheet2.E9", "'My sheet'!E9", "$E$9") or
        // defined names; an input is one cell, a watch may be a rectangle.
        QStringList inputs;
        QStringList watches;
        int workers = 1;
        // A program with a window of its own leaves its signals to the application.
        bool handleSignals = true;
    };

    // The numbers of one point, one per input.
    using PointValues = std::function<QList<double>(qint64 point)>;
    // Called on the caller's thread with the number of points done so far.
    using Progress = std::function<void(qint64 done)>;

    virtual ~SweepPool() = default;

    // Starts the offices, or opens the workbook in those that run, and finds the cells. Anything
    // but Done comes with a message that names the reference or the file.
    virtual Outcome start(const Setup &setup, Cells *cells, QString *message) = 0;
    // Evaluates points 0 to count - 1: one number per watch cell and point, point after point;
    // not a number where the cell holds no number and where a point stayed empty. Every office
    // is ready once it returns, also for a count of 0.
    virtual Outcome evaluate(qint64 count, const PointValues &values, QList<double> *results,
                             const Progress &progress) = 0;
    // The processes of the offices that run.
    virtual QList<qint64> processIds() const = 0;
    // Ends every office and removes every copy and profile.
    virtual void stop() = 0;
    // The signal that interrupted the pool; 0 when none did.
    virtual int interruption() const = 0;
    // Warnings gathered so far (points given up, offices started again).
    virtual QStringList warnings() const = 0;
};

#endif
