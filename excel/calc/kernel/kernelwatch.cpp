#include "kernelwatch.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <uno/threadpool.h>

#include <algorithm>

using namespace css;

namespace {

// A selection larger than this is not kept: typing goes into one cell of it, and reading every
// cell of a whole column at each move would slow the user's work.
constexpr sal_Int64 keptSelection = 256;

bool sameCell(const table::CellAddress &a, const table::CellAddress &b)
{
    return a.Sheet == b.Sheet && a.Column == b.Column && a.Row == b.Row;
}

std::vector<table::CellRangeAddress> changedRanges(const util::ChangesEvent &event)
{
    std::vector<table::CellRangeAddress> changed;
    for (const util::ElementChange &change : event.Changes) {
        // One cell or range comes as itself, several as a list.
        const uno::Reference<sheet::XSheetCellRanges> ranges(change.ReplacedElement,
                                                             uno::UNO_QUERY);
        const uno::Reference<sheet::XCellRangeAddressable> range(change.ReplacedElement,
                                                                 uno::UNO_QUERY);
        if (ranges.is()) {
            for (const table::CellRangeAddress &address : ranges->getRangeAddresses())
                changed.push_back(address);
        } else if (range.is()) {
            changed.push_back(range->getRangeAddress());
        }
    }
    return changed;
}

rtl::ByteSequence currentThread()
{
    sal_Sequence *id = nullptr;
    uno_getIdOfCurrentThread(&id);
    const rtl::ByteSequence found(id, rtl::BYTESEQ_NOACQUIRE);
    uno_releaseIdFromCurrentThread();
    return found;
}

} // namespace

KernelWatch::KernelWatch() : owner(currentThread()) {}

// Registered only once a reference holds it: a listener handed out from its constructor would
// be released, and so deleted, by the first call that takes and drops a reference to it.
rtl::Reference<KernelWatch> KernelWatch::start(const uno::Reference<frame::XModel> &model)
{
    rtl::Reference<KernelWatch> watch(new KernelWatch);
    watch->watch(model);
    return watch;
}

void KernelWatch::watch(const uno::Reference<frame::XModel> &model)
{
    const uno::Reference<container::XIndexAccess> sheetList(
        uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
    const sal_Int32 count = sheetList->getCount();
    sheets.reserve(size_t(std::max<sal_Int32>(count, 0)));
    try {
        document.set(model, uno::UNO_QUERY_THROW);
        document->addChangesListener(this);
        for (sal_Int32 index = 0; index < count; ++index) {
            sheets.emplace_back(sheetList->getByIndex(index), uno::UNO_QUERY_THROW);
            sheets.back()->addModifyListener(this);
        }
        watchSelection(model);
    } catch (...) {
        stop();
        throw;
    }
}

// A document without a view has nobody typing into it.
void KernelWatch::watchSelection(const uno::Reference<frame::XModel> &model)
{
    const uno::Reference<view::XSelectionSupplier> supplier(model->getCurrentController(),
                                                            uno::UNO_QUERY);
    if (!supplier.is())
        return;
    supplier->addSelectionChangeListener(this);
    {
        const std::lock_guard<std::mutex> lock(mutex);
        view = supplier;
    }
    noteSelection();
}

// Read before the lock is taken: the office is not called while it is held.
void KernelWatch::noteSelection()
{
    uno::Reference<view::XSelectionSupplier> supplier;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        supplier = view;
    }
    if (!supplier.is())
        return;
    std::vector<Entry> found;
    try {
        const uno::Any chosen = supplier->getSelection();
        const uno::Reference<sheet::XCellRangeAddressable> addressable(chosen, uno::UNO_QUERY);
        const uno::Reference<table::XCellRange> range(chosen, uno::UNO_QUERY);
        if (addressable.is() && range.is()) {
            const table::CellRangeAddress area = addressable->getRangeAddress();
            const sal_Int64 columns = area.EndColumn - area.StartColumn + 1;
            const sal_Int64 rows = area.EndRow - area.StartRow + 1;
            for (sal_Int32 row = 0; columns * rows <= keptSelection && row < rows; ++row) {
                for (sal_Int32 column = 0; column < columns; ++column) {
                    found.push_back({{area.Sheet, area.StartColumn + column, area.StartRow + row},
                                     KernelCells::Snapshot(range->getCellByPosition(column, row))});
                }
            }
        }
    } catch (const uno::Exception &) {
        found.clear();
    }
    const std::lock_guard<std::mutex> lock(mutex);
    selected.swap(found);
}

std::vector<KernelWatch::Entry> KernelWatch::entries() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return finished;
}

// Each on its own: a sheet deleted meanwhile must not keep the others listened to.
void KernelWatch::stop()
{
    std::vector<uno::Reference<util::XModifyBroadcaster>> listened;
    listened.swap(sheets);
    uno::Reference<view::XSelectionSupplier> selection;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        selection = view;
        view.clear();
    }
    try {
        if (selection.is())
            selection->removeSelectionChangeListener(this);
    } catch (const uno::Exception &) {
    }
    const uno::Reference<util::XChangesNotifier> notifier = document;
    document.clear();
    try {
        if (notifier.is())
            notifier->removeChangesListener(this);
    } catch (const uno::Exception &) {
    }
    for (const uno::Reference<util::XModifyBroadcaster> &sheet : listened) {
        try {
            sheet->removeModifyListener(this);
        } catch (const uno::Exception &) {
        }
    }
}

void KernelWatch::modified(const lang::EventObject &)
{
    note();
}

// The selected cell's content before the entry is what an undo of it gives back; the first entry
// into a cell counts. A change of several cells at once (a paste, a fill) is one step of the
// user's that cell by cell entries could not make again: it is only counted.
void KernelWatch::changesOccurred(const util::ChangesEvent &event)
{
    foreign = true;
    const std::vector<table::CellRangeAddress> changed = changedRanges(event);
    const bool oneCell = changed.size() == 1 && changed[0].StartColumn == changed[0].EndColumn &&
                         changed[0].StartRow == changed[0].EndRow;
    if (oneCell) {
        const table::CellAddress cell{changed[0].Sheet, changed[0].StartColumn,
                                      changed[0].StartRow};
        const std::lock_guard<std::mutex> lock(mutex);
        const auto at = [&cell](const Entry &entry) { return sameCell(entry.address, cell); };
        const auto before = std::find_if(selected.begin(), selected.end(), at);
        if (before != selected.end() && std::none_of(finished.begin(), finished.end(), at))
            finished.push_back(*before);
    }
    noteSelection();
}

void KernelWatch::selectionChanged(const lang::EventObject &)
{
    noteSelection();
}

// A sheet goes away under the bracket: somebody deleted it or closed the document.
void KernelWatch::disposing(const lang::EventObject &)
{
    note();
}

void KernelWatch::note()
{
    if (!foreign && currentThread() != owner)
        foreign = true;
}
