#include "kernelwatch.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <uno/threadpool.h>

#include <algorithm>

using namespace css;

namespace {

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
    } catch (...) {
        stop();
        throw;
    }
}

// Each on its own: a sheet deleted meanwhile must not keep the others listened to.
void KernelWatch::stop()
{
    std::vector<uno::Reference<util::XModifyBroadcaster>> listened;
    listened.swap(sheets);
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

void KernelWatch::changesOccurred(const util::ChangesEvent &)
{
    note();
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
