#ifndef KERNELGUARD_H
#define KERNELGUARD_H

#include "kernelcells.h"
#include "kernelwatch.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <mutex>
#include <vector>

// The kernel's copy of the program's open write bracket: which documents are locked, how their
// undo history is held back, whether they were modified, and what each written cell held before.
// When the program's connection dies the office releases the kernel, and the kernel closes the
// bracket at once: cells put back, undo history and controllers released. The document is
// marked modified: whether someone else changed it meanwhile only the program can judge. A
// document the program asks it to watch is watched for other clients' changes until it disarms.
class KernelGuard
{
public:
    void arm(const css::uno::Sequence<css::beans::NamedValue> &arguments);
    void journal(const css::uno::Sequence<css::beans::NamedValue> &arguments);
    // Notes the cells a batch of the kernel's own is about to write.
    void journalWrites(const std::vector<css::uno::Reference<css::table::XCell>> &cells);
    // Ends the bracket the program closes itself; answers the watched documents that somebody
    // else changed meanwhile. The user's entries finished meanwhile become undo steps of their
    // own.
    css::uno::Sequence<css::uno::Reference<css::uno::XInterface>> disarm();
    bool isArmed() const;
    // Closes the bracket the program left open; nothing when none is held.
    void release();

private:
    struct Document
    {
        css::uno::Reference<css::frame::XModel> model;
        bool hiddenUndoContext = false;
        bool undoDisabled = false;
        rtl::Reference<KernelWatch> watch;
    };

    void noteCell(const css::uno::Reference<css::table::XCell> &cell);
    static void close(const Document &document);
    static void retype(const Document &document);
    // Takes the documents out of the guard and stops watching them.
    std::vector<Document> takeDocuments();

    mutable std::mutex mutex;
    std::vector<Document> documents;
    std::vector<KernelCells::Snapshot> cells;
};

#endif
