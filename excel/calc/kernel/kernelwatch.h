#ifndef KERNELWATCH_H
#define KERNELWATCH_H

#include "kernelcells.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/util/XChangesListener.hpp>
#include <com/sun/star/util/XChangesNotifier.hpp>
#include <com/sun/star/util/XModifyBroadcaster.hpp>
#include <com/sun/star/util/XModifyListener.hpp>
#include <com/sun/star/view/XSelectionChangeListener.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/implbase3.hxx>
#include <rtl/byteseq.hxx>
#include <rtl/ref.hxx>

#include <atomic>
#include <mutex>
#include <vector>

// Tells whether anybody but the program changed a document while the program's write bracket was
// open. It listens inside the office, so the program's own writes cost no call back over the
// pipe. The office runs every call of a client under that client's logical thread identity and
// tells listeners of a change on the thread that made it: a change seen under any other identity
// (the office's main thread for the user's typing, another client's own) is somebody else's.
// While the document is locked, as it is inside a bracket, the document's own modify event is
// held back until it is unlocked; every sheet's modify event still comes with each change.
// The document's change notifications come with the user's entries, not with cells written
// through the API, and they count whatever the thread: a recalculation the program asks for
// finishes the user's unfinished entry inside the program's own call.
// The user types into the selected cell; the watch keeps what the selection held, so that an
// entry finished under the bracket can be made an undo step of its own afterwards.
class KernelWatch
    : public cppu::WeakImplHelper3<css::util::XModifyListener, css::util::XChangesListener,
                                   css::view::XSelectionChangeListener>
{
public:
    // A cell the user finished an entry in, as it was before.
    struct Entry
    {
        css::table::CellAddress address;
        KernelCells::Snapshot before;
    };

    // Watches every sheet of the document on behalf of the thread that calls this.
    static rtl::Reference<KernelWatch> start(const css::uno::Reference<css::frame::XModel> &model);

    void stop();
    bool othersChanged() const { return foreign; }
    // The cells of the user's entries finished since the watch started, first content first.
    std::vector<Entry> entries() const;

    void SAL_CALL modified(const css::lang::EventObject &event) override;
    void SAL_CALL changesOccurred(const css::util::ChangesEvent &event) override;
    void SAL_CALL selectionChanged(const css::lang::EventObject &event) override;
    void SAL_CALL disposing(const css::lang::EventObject &event) override;

private:
    KernelWatch();
    void watch(const css::uno::Reference<css::frame::XModel> &model);
    void watchSelection(const css::uno::Reference<css::frame::XModel> &model);
    void noteSelection();
    void note();

    rtl::ByteSequence owner;
    css::uno::Reference<css::util::XChangesNotifier> document;
    css::uno::Reference<css::view::XSelectionSupplier> view;
    std::vector<css::uno::Reference<css::util::XModifyBroadcaster>> sheets;
    std::atomic<bool> foreign{false};
    mutable std::mutex mutex;
    std::vector<Entry> selected;
    std::vector<Entry> finished;
};

#endif
