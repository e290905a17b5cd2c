#include "kernelguard.h"
#include "kernelarguments.h"
#include "kernelprotocol.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/util/XModifiable.hpp>

using namespace css;

void KernelGuard::arm(const uno::Sequence<beans::NamedValue> &arguments)
{
    using namespace KernelProtocol;
    const KernelArguments named(arguments);
    Document document;
    document.model.set(KernelCells::spreadsheet(named.find(KernelProtocol::document)),
                       uno::UNO_QUERY_THROW);
    document.hiddenUndoContext = named.required<bool>(hiddenUndoContext, "a boolean");
    document.undoDisabled = named.required<bool>(undoDisabled, "a boolean");
    if (named.optional<bool>(KernelProtocol::watch, "a boolean", false))
        document.watch = KernelWatch::start(document.model);
    const std::lock_guard<std::mutex> lock(mutex);
    documents.push_back(document);
}

void KernelGuard::journal(const uno::Sequence<beans::NamedValue> &arguments)
{
    const KernelArguments named(arguments);
    const auto document = KernelCells::spreadsheet(named.find(KernelProtocol::document));
    const auto addresses = named.required<uno::Sequence<uno::Reference<uno::XInterface>>>(
        KernelProtocol::cells, "a list of cells");
    journalWrites(KernelCells::resolve(document, addresses, "journal cell"));
}

void KernelGuard::journalWrites(const std::vector<uno::Reference<table::XCell>> &written)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (documents.empty())
        return;
    for (const uno::Reference<table::XCell> &cell : written)
        noteCell(cell);
}

// The first note of a cell holds what it had before the bracket; later ones change nothing.
void KernelGuard::noteCell(const uno::Reference<table::XCell> &cell)
{
    for (const KernelCells::Snapshot &known : cells) {
        if (known.cell() == cell)
            return;
    }
    cells.emplace_back(cell);
}

// The office is called outside the lock: a change on another thread may be telling a watch
// about itself meanwhile.
std::vector<KernelGuard::Document> KernelGuard::takeDocuments()
{
    std::vector<Document> taken;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        taken.swap(documents);
        cells.clear();
    }
    for (const Document &document : taken) {
        if (document.watch.is())
            document.watch->stop();
    }
    return taken;
}

uno::Sequence<uno::Reference<uno::XInterface>> KernelGuard::disarm()
{
    std::vector<uno::Reference<uno::XInterface>> changed;
    for (const Document &document : takeDocuments()) {
        if (document.watch.is() && document.watch->othersChanged()) {
            changed.emplace_back(document.model, uno::UNO_QUERY);
            retype(document);
        }
    }
    return uno::Sequence<uno::Reference<uno::XInterface>>(changed.data(),
                                                          sal_Int32(changed.size()));
}

bool KernelGuard::isArmed() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return !documents.empty();
}

// Runs where nobody can be told of a failure: each step is tried on its own so that one closed
// document or refused step leaves the others whole.
void KernelGuard::release()
{
    std::vector<KernelCells::Snapshot> written;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        written.swap(cells);
    }
    // Latest first: a cell reached through two objects was noted twice, and its first note holds
    // what it had before the bracket.
    for (auto cell = written.rbegin(); cell != written.rend(); ++cell) {
        try {
            cell->restore();
        } catch (const uno::Exception &) {
        }
    }
    for (const Document &document : takeDocuments())
        close(document);
}

// An entry finished under the bracket went into the undo history held back with the program's
// writes, or into none. Each such cell gets its content from before the entry back there, and the
// entry is then written again with the history open, as an undo step of its own; written again
// also when the history does not open, so that the entry is never lost. The history is held back
// again after, for the program to release as it took it.
void KernelGuard::retype(const Document &document)
{
    if (!document.hiddenUndoContext && !document.undoDisabled)
        return;
    std::vector<std::pair<KernelCells::Snapshot, KernelCells::Snapshot>> typed;
    for (const KernelWatch::Entry &entry : document.watch->entries()) {
        try {
            KernelCells::Snapshot now(entry.before.cell());
            if (!now.sameAs(entry.before))
                typed.emplace_back(entry.before, now);
        } catch (const uno::Exception &) {
        }
    }
    if (typed.empty())
        return;
    for (const auto &[before, now] : typed) {
        try {
            before.restore();
        } catch (const uno::Exception &) {
        }
    }
    bool opened = false;
    try {
        if (document.hiddenUndoContext) {
            uno::Reference<document::XUndoManagerSupplier>(document.model, uno::UNO_QUERY_THROW)
                ->getUndoManager()
                ->leaveUndoContext();
        } else {
            uno::Reference<beans::XPropertySet>(document.model, uno::UNO_QUERY_THROW)
                ->setPropertyValue("IsUndoEnabled", uno::Any(true));
        }
        opened = true;
    } catch (const uno::Exception &) {
    }
    for (const auto &[before, now] : typed) {
        try {
            now.restore();
        } catch (const uno::Exception &) {
        }
    }
    try {
        if (opened && document.hiddenUndoContext) {
            uno::Reference<document::XUndoManagerSupplier>(document.model, uno::UNO_QUERY_THROW)
                ->getUndoManager()
                ->enterHiddenUndoContext();
        }
    } catch (const uno::Exception &) {
    }
}

void KernelGuard::close(const Document &document)
{
    try {
        if (document.hiddenUndoContext) {
            uno::Reference<document::XUndoManagerSupplier>(document.model, uno::UNO_QUERY_THROW)
                ->getUndoManager()
                ->leaveUndoContext();
        }
    } catch (const uno::Exception &) {
    }
    try {
        if (document.undoDisabled) {
            uno::Reference<beans::XPropertySet>(document.model, uno::UNO_QUERY_THROW)
                ->setPropertyValue("IsUndoEnabled", uno::Any(true));
        }
    } catch (const uno::Exception &) {
    }
    try {
        if (document.model->hasControllersLocked())
            document.model->unlockControllers();
    } catch (const uno::Exception &) {
    }
    try {
        uno::Reference<util::XModifiable>(document.model, uno::UNO_QUERY_THROW)->setModified(true);
    } catch (const uno::Exception &) {
    }
}
