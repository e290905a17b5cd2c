#ifndef CALCKERNEL_H
#define CALCKERNEL_H

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/task/XJob.hpp>

#include <QList>

#include <optional>

class CalcConnection;

// The program's side of the scan kernel on one connection. The kernel is brought into the office
// when a batch first needs it; when that fails, the reason is logged once and the connection
// goes on without it. Holding the kernel is also what lets it close a write bracket that the
// program leaves open by dying: the office then releases it.
class CalcKernel
{
public:
    bool ensure(CalcConnection &connection);
    bool isReady() const { return state == State::Ready; }

    struct Batch
    {
        css::uno::Reference<css::frame::XModel> document;
        css::uno::Sequence<css::uno::Reference<css::uno::XInterface>> writeCells;
        css::uno::Sequence<css::uno::Reference<css::uno::XInterface>> readCells;
        css::uno::Sequence<double> values;
    };
    // One value per read cell and point, as the kernel read it after recalculating the document
    // fully, as the link does between a write and a read; nothing when the kernel refused or
    // failed the batch (logged), which then changed no cell.
    std::optional<css::uno::Sequence<css::uno::Any>> evaluate(CalcConnection &connection,
                                                              const Batch &batch);

    // The write bracket's state, passed on while the kernel is ready.
    struct Document
    {
        css::uno::Reference<css::frame::XModel> model;
        bool hiddenUndoContext = false;
        bool undoDisabled = false;
        // The kernel also tells, when disarmed, whether anybody else changed the document.
        bool watch = false;
    };
    // Whether the kernel now holds the document.
    bool arm(CalcConnection &connection, const Document &document);
    void journal(CalcConnection &connection, const css::uno::Reference<css::frame::XModel> &model,
                 const QList<css::uno::Reference<css::table::XCell>> &cells);
    // The watched documents that others changed meanwhile; nothing when the kernel could not say.
    std::optional<QList<css::uno::Reference<css::frame::XModel>>>
    disarm(CalcConnection &connection);
    // Whether the kernel holds the open bracket's state.
    bool isArmed() const { return armed; }

private:
    enum class State { Untried, Ready, Unavailable };

    css::uno::Any call(const char *command,
                       std::initializer_list<std::pair<const char *, css::uno::Any>> arguments);
    std::optional<css::uno::Any>
    send(CalcConnection &connection, const char *operation, const char *command,
         std::initializer_list<std::pair<const char *, css::uno::Any>> arguments);

    State state = State::Untried;
    bool armed = false;
    css::uno::Reference<css::task::XJob> job;
};

#endif
