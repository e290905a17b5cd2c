#ifndef KERNELWATCH_H
#define KERNELWATCH_H

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/util/XChangesListener.hpp>
#include <com/sun/star/util/XChangesNotifier.hpp>
#include <com/sun/star/util/XModifyBroadcaster.hpp>
#include <com/sun/star/util/XModifyListener.hpp>
#include <cppuhelper/implbase2.hxx>
#include <rtl/byteseq.hxx>
#include <rtl/ref.hxx>

#include <atomic>
#include <vector>

// Tells whether anybody but the program changed a document while the program's write bracket was
// open. It listens inside the office, so the program's own writes cost no call back over the
// pipe. The office runs every call of a client under that client's logical thread identity and
// tells listeners of a change on the thread that made it: a change seen under any other identity
// (the office's main thread for the user's typing, another client's own) is somebody else's.
// While the document is locked, as it is inside a bracket, the document's own modify event is
// held back until it is unlocked; every sheet's modify event still comes with each change, and
// the document's change notifications with some of the user's.
class KernelWatch
    : public cppu::WeakImplHelper2<css::util::XModifyListener, css::util::XChangesListener>
{
public:
    // Watches every sheet of the document on behalf of the thread that calls this.
    static rtl::Reference<KernelWatch> start(const css::uno::Reference<css::frame::XModel> &model);

    void stop();
    bool othersChanged() const { return foreign; }

    void SAL_CALL modified(const css::lang::EventObject &event) override;
    void SAL_CALL changesOccurred(const css::util::ChangesEvent &event) override;
    void SAL_CALL disposing(const css::lang::EventObject &event) override;

private:
    KernelWatch();
    void watch(const css::uno::Reference<css::frame::XModel> &model);
    void note();

    rtl::ByteSequence owner;
    css::uno::Reference<css::util::XChangesNotifier> document;
    std::vector<css::uno::Reference<css::util::XModifyBroadcaster>> sheets;
    std::atomic<bool> foreign{false};
};

#endif
