#include "excel/calc/calcwritebracket.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernel.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/EmptyUndoStackException.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/util/XModifiable.hpp>

using namespace css;

namespace {

const char undoEnabledProperty[] = "IsUndoEnabled";

uno::Reference<document::XUndoManager> undoManager(const uno::Reference<frame::XModel> &model)
{
    const uno::Reference<document::XUndoManagerSupplier> supplier(model, uno::UNO_QUERY);
    return supplier.is() ? supplier->getUndoManager() : nullptr;
}

void setUndoEnabled(const uno::Reference<frame::XModel> &model, bool enabled)
{
    const uno::Reference<beans::XPropertySet> properties(model, uno::UNO_QUERY_THROW);
    properties->setPropertyValue(undoEnabledProperty, uno::Any(enabled));
}

} // namespace

void CalcWriteBracket::begin(CalcConnection &connection,
                             const QList<uno::Reference<frame::XModel>> &models)
{
    if (open)
        return;
    open = true;
    documents.clear();
    written.clear();
    writtenCells.clear();
    for (const uno::Reference<frame::XModel> &model : models) {
        DocumentState state;
        state.model = model;
        enter(connection, state);
        documents.append(state);
    }
    armKernel(connection);
}

void CalcWriteBracket::armKernel(CalcConnection &connection)
{
    CalcKernel &kernel = connection.kernel();
    if (!open || !kernel.isReady())
        return;
    for (const DocumentState &state : std::as_const(documents))
        kernel.arm(connection,
                   {state.model, state.wasModified, state.hiddenUndoContext, state.undoDisabled});
}

void CalcWriteBracket::enter(CalcConnection &connection, DocumentState &state)
{
    connection.guard("lock document", [&state]() {
        const uno::Reference<util::XModifiable> modifiable(state.model, uno::UNO_QUERY_THROW);
        state.wasModified = modifiable->isModified();
        state.model->lockControllers();
        const uno::Reference<document::XUndoManager> undo = undoManager(state.model);
        if (!undo.is())
            return;
        try {
            undo->enterHiddenUndoContext();
            state.hiddenUndoContext = true;
        } catch (const document::EmptyUndoStackException &) {
            // A hidden context needs an action to hide in; with an empty history there is
            // nothing to lose by switching undo off for a while.
            setUndoEnabled(state.model, false);
            state.undoDisabled = true;
        }
    });
}

void CalcWriteBracket::noteWrite(CalcConnection &connection,
                                 const uno::Reference<table::XCell> &cell)
{
    if (!open || writtenCells.contains(cell.get()))
        return;
    writtenCells.insert(cell.get());
    const OUString content = connection.guard(
        "read cell content", [&cell]() { return cell->getFormula(); }, OUString());
    written.append({cell, content});
}

bool CalcWriteBracket::cellsRestored(CalcConnection &connection) const
{
    for (const WrittenCell &entry : written) {
        const bool same = connection.guard(
            "compare cell content",
            [&entry]() { return entry.cell->getFormula() == entry.content; }, false);
        if (!same)
            return false;
    }
    return true;
}

void CalcWriteBracket::end(CalcConnection &connection)
{
    if (!open)
        return;
    open = false;
    connection.kernel().disarm(connection);
    const bool restored = cellsRestored(connection);
    for (const DocumentState &state : std::as_const(documents))
        leave(connection, state, restored);
    documents.clear();
    written.clear();
    writtenCells.clear();
}

// Each step on its own: one that fails must not leave the document locked or without undo.
void CalcWriteBracket::leave(CalcConnection &connection, const DocumentState &state, bool restored)
{
    if (state.hiddenUndoContext) {
        connection.guard("leave undo context",
                         [&state]() { undoManager(state.model)->leaveUndoContext(); });
    }
    if (state.undoDisabled)
        connection.guard("enable undo", [&state]() { setUndoEnabled(state.model, true); });
    connection.guard("unlock document", [&state]() { state.model->unlockControllers(); });
    if (!state.wasModified && restored) {
        connection.guard("restore modified flag", [&state]() {
            uno::Reference<util::XModifiable>(state.model, uno::UNO_QUERY_THROW)
                ->setModified(false);
        });
    }
}
