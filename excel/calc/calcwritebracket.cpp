#include "excel/calc/calcwritebracket.h"
#include "excel/calc/calcbracketrecovery.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernel.h"
#include "excel/calc/calcterminationguard.h"
#include "excel/excellogging.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/EmptyUndoStackException.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/util/XModifiable.hpp>

using namespace css;

namespace {

quint64 cellKey(const table::CellAddress &address)
{
    return (quint64(quint16(address.Sheet)) << 48) | (quint64(quint16(address.Column)) << 32) |
           quint64(quint32(address.Row));
}

uno::Reference<document::XUndoManager> undoManager(const uno::Reference<frame::XModel> &model)
{
    const uno::Reference<document::XUndoManagerSupplier> supplier(model, uno::UNO_QUERY);
    return supplier.is() ? supplier->getUndoManager() : nullptr;
}

void setUndoEnabled(const uno::Reference<frame::XModel> &model, bool enabled)
{
    const uno::Reference<beans::XPropertySet> properties(model, uno::UNO_QUERY_THROW);
    properties->setPropertyValue("IsUndoEnabled", uno::Any(enabled));
}

} // namespace

CalcWriteBracket::CalcWriteBracket() = default;

CalcWriteBracket::~CalcWriteBracket()
{
    CalcTerminationGuard::forget(this);
}

void CalcWriteBracket::begin(CalcConnection &connection,
                             const QList<uno::Reference<frame::XModel>> &models)
{
    if (open)
        return;
    clear();
    open = true;
    candidates = models;
    CalcTerminationGuard::watch(this, &connection);
}

CalcWriteBracket::DocumentState *
CalcWriteBracket::document(const uno::Reference<frame::XModel> &model) const
{
    for (const std::unique_ptr<DocumentState> &state : documents) {
        if (state->model == model)
            return state.get();
    }
    return nullptr;
}

bool CalcWriteBracket::holds(const uno::Reference<frame::XModel> &model,
                             const table::CellAddress &address) const
{
    const DocumentState *state = open ? document(model) : nullptr;
    return state && state->cellIndex.contains(cellKey(address));
}

bool CalcWriteBracket::restore(CalcConnection &connection,
                               const uno::Reference<frame::XModel> &model,
                               const table::CellAddress &address)
{
    const DocumentState *state = open ? document(model) : nullptr;
    const quint64 key = cellKey(address);
    if (!state || !state->cellIndex.contains(key))
        return false;
    const int index = state->cellIndex.value(key);
    const CalcCellContent &content = journal->documents()[state->journalIndex].cells[index].content;
    return connection.guard(
        "restore cell",
        [&]() {
            content.write(state->cells[index]);
            return true;
        },
        false);
}

void CalcWriteBracket::noteWrite(CalcConnection &connection,
                                 const uno::Reference<frame::XModel> &model,
                                 const uno::Reference<table::XCell> &cell,
                                 const table::CellAddress &address)
{
    if (!open)
        return;
    DocumentState *state = document(model);
    if (!state && candidates.contains(model))
        state = enter(connection, model);
    if (!state || state->cellIndex.contains(cellKey(address)))
        return;
    bool read = false;
    const CalcCellContent content = connection.guard(
        "read cell content",
        [&cell, &read]() {
            const CalcCellContent found = CalcCellContent::read(cell);
            read = true;
            return found;
        },
        CalcCellContent());
    if (!read) {
        state->contentsUnknown = true;
        return;
    }
    state->cellIndex.insert(cellKey(address), state->cells.size());
    state->cells.append(cell);
    connection.kernel().journal(connection, model, {cell});
    journal->documents()[state->journalIndex].cells.append(
        {address.Sheet, address.Column, address.Row, content});
    if (!journal->save())
        state->contentsUnknown = true;
}

CalcWriteBracket::DocumentState *CalcWriteBracket::enter(CalcConnection &connection,
                                                         const uno::Reference<frame::XModel> &model)
{
    if (!journal) {
        if (officeIdentity.isEmpty())
            officeIdentity = CalcBracketRecovery::officeIdentity(connection);
        journal = std::make_unique<CalcBracketJournal>(officeIdentity);
    }
    auto state = std::make_unique<DocumentState>();
    state->model = model;
    CalcJournalDocument entry;
    connection.guard("lock document", [&state, &entry, &model]() {
        entry.url = toQString(model->getURL());
        entry.title =
            toQString(uno::Reference<frame::XTitle>(model, uno::UNO_QUERY_THROW)->getTitle());
        state->wasModified =
            uno::Reference<util::XModifiable>(model, uno::UNO_QUERY_THROW)->isModified();
        model->lockControllers();
    });
    entry.undo = hideUndo(connection, *state);
    state->journalIndex = journal->documents().size();
    journal->documents().append(entry);
    documents.push_back(std::move(state));
    // The kernel is what watches the document for others' changes, from inside the office.
    connection.kernel().ensure(connection);
    armKernel(connection, *documents.back());
    return documents.back().get();
}

CalcUndoMode CalcWriteBracket::hideUndo(CalcConnection &connection, DocumentState &state)
{
    return connection.guard(
        "hide writes from undo",
        [&state]() {
            const uno::Reference<document::XUndoManager> undo = undoManager(state.model);
            if (!undo.is())
                return CalcUndoMode::Untouched;
            try {
                undo->enterHiddenUndoContext();
                return CalcUndoMode::HiddenContext;
            } catch (const document::EmptyUndoStackException &) {
                // A hidden context needs an action to hide in; with an empty history there is
                // nothing to lose by switching undo off for a while.
                setUndoEnabled(state.model, false);
                return CalcUndoMode::UndoDisabled;
            }
        },
        CalcUndoMode::Untouched);
}

bool CalcWriteBracket::cellsRestored(CalcConnection &connection, const DocumentState &state) const
{
    if (state.contentsUnknown)
        return false;
    const QList<CalcJournalCell> &recorded = journal->documents()[state.journalIndex].cells;
    for (int index = 0; index < state.cells.size(); ++index) {
        const bool same = connection.guard(
            "compare cell content",
            [&]() {
                return CalcCellContent::read(state.cells[index]).sameAs(recorded[index].content);
            },
            false);
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
    const std::optional<QList<uno::Reference<frame::XModel>>> changedByOthers =
        connection.kernel().disarm(connection);
    for (const std::unique_ptr<DocumentState> &state : documents) {
        if (!state->wasModified && (!state->watchedByKernel || !changedByOthers ||
                                    changedByOthers->contains(state->model))) {
            qCDebug(lcLink) << "Document changed by another client during a bracket, or nobody "
                               "could tell";
            state->othersChanged = true;
        }
        leave(connection, *state);
    }
    if (journal)
        journal->remove();
    clear();
    CalcTerminationGuard::forget(this);
}

void CalcWriteBracket::abandon(CalcConnection &connection)
{
    if (!open)
        return;
    for (const std::unique_ptr<DocumentState> &state : documents) {
        const QList<CalcJournalCell> &recorded = journal->documents()[state->journalIndex].cells;
        for (int index = 0; index < state->cells.size(); ++index) {
            connection.guard("restore cell",
                             [&]() { recorded[index].content.write(state->cells[index]); });
        }
    }
    end(connection);
}

// Each step on its own: one that fails must not leave the document locked or without undo.
void CalcWriteBracket::leave(CalcConnection &connection, DocumentState &state)
{
    const bool restored = cellsRestored(connection, state);
    const CalcUndoMode undo = journal->documents()[state.journalIndex].undo;
    if (undo == CalcUndoMode::HiddenContext) {
        connection.guard("leave undo context",
                         [&state]() { undoManager(state.model)->leaveUndoContext(); });
    }
    if (undo == CalcUndoMode::UndoDisabled)
        connection.guard("enable undo", [&state]() { setUndoEnabled(state.model, true); });
    connection.guard("unlock document", [&state]() { state.model->unlockControllers(); });
    if (!state.wasModified && restored && !state.othersChanged) {
        connection.guard("restore modified flag", [&state]() {
            uno::Reference<util::XModifiable>(state.model, uno::UNO_QUERY_THROW)
                ->setModified(false);
        });
    }
}

void CalcWriteBracket::armKernel(CalcConnection &connection)
{
    if (!open)
        return;
    for (const std::unique_ptr<DocumentState> &state : documents)
        armKernel(connection, *state);
}

void CalcWriteBracket::armKernel(CalcConnection &connection, DocumentState &state)
{
    CalcKernel &kernel = connection.kernel();
    // Asked once: a kernel that refused a document keeps refusing it.
    if (!kernel.isReady() || state.kernelAsked)
        return;
    state.kernelAsked = true;
    const CalcUndoMode undo = journal->documents()[state.journalIndex].undo;
    if (!kernel.arm(connection, {state.model, undo == CalcUndoMode::HiddenContext,
                                 undo == CalcUndoMode::UndoDisabled, !state.wasModified}))
        return;
    state.watchedByKernel = !state.wasModified;
    if (!state.cells.isEmpty())
        kernel.journal(connection, state.model, state.cells);
}

void CalcWriteBracket::clear()
{
    candidates.clear();
    documents.clear();
    journal.reset();
}
