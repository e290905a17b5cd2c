#ifndef CALCSWEEPWORKER_H
#define CALCSWEEPWORKER_H

#include "excel/calc/calcsweepcells.h"

#include <rtl/ustring.hxx>

#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class CalcConnection;

// One office of a sweep: headless, on a profile and with a copy of the workbook of its own,
// inside a folder the worker owns. Every start takes a fresh profile and a fresh copy, so an
// office that died leaves nothing (a lock, a half-built profile) in the way of the next. Its
// calls may come from any one thread at a time; opening and dropping the bridge to the office
// is serialised across workers, since the bridges are registered process-wide.
class CalcSweepWorker
{
public:
    enum class Failure { None, NoOffice, CannotOpen, Interrupted };

    explicit CalcSweepWorker(const QString &folder);
    ~CalcSweepWorker();
    CalcSweepWorker(const CalcSweepWorker &) = delete;
    CalcSweepWorker &operator=(const CalcSweepWorker &) = delete;

    // Copies the workbook and starts an office on a fresh profile; does not wait for it.
    bool launch(const QString &workbook, QString *message);
    // Closes the copy the office has open and copies the workbook in its place, for the next
    // open() to load into the office that runs.
    bool takeWorkbook(const QString &workbook, QString *message);
    // Waits until the office listens, brings the scan kernel into it and opens the copy.
    Failure open(QString *message, const std::atomic<bool> &cancel);
    bool isAlive() const;
    // An office was started and not killed since.
    bool hasOffice() const { return launched; }
    // The copy is open and its cells are bound.
    bool isReady() const { return book.is() && writes.hasElements(); }
    css::uno::Reference<css::frame::XModel> document() const { return book; }
    // Finds the sweep's cells in this worker's copy.
    void bind(const QList<CalcSweepCells::Cell> &inputs,
              const QList<CalcSweepCells::Cell> &watches);
    // Evaluates points (one number per input and point): one number per watch and point, not a
    // number for a cell without a number. Nothing when the office failed the batch.
    std::optional<QList<double>> evaluate(const QList<double> &values);
    // Kills the office at once and waits until it is gone.
    void kill();
    // Asks the office to quit, and kills it when it does not.
    void stop();
    // The office process; 0 when none runs.
    qint64 processId() const;

private:
    QString profileUrl() const;
    bool needsPassword(const rtl::OUString &url);
    bool connect(QString *message, const std::atomic<bool> &cancel);
    void closeCopy();
    void dropConnection();

    QString folder;
    int attempt = 0;
    bool launched = false;
    QString pipe;
    QString copy;
    std::shared_ptr<CalcConnection> connection;
    css::uno::Reference<css::frame::XModel> book;
    css::uno::Sequence<css::uno::Reference<css::uno::XInterface>> writes;
    css::uno::Sequence<css::uno::Reference<css::uno::XInterface>> reads;
};

#endif
