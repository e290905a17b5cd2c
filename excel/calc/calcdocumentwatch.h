#ifndef CALCDOCUMENTWATCH_H
#define CALCDOCUMENTWATCH_H

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/uno/XInterface.hpp>
#include <com/sun/star/util/XModifyBroadcaster.hpp>

#include <QHash>
#include <QList>

#include <atomic>
#include <memory>

class CalcConnection;

// Tells whether anybody but this program changed a document while a bracket was open. The
// office reports a change caused by one of our own calls back on the thread that made the
// call (its bridge keeps the caller's thread identity), so a report that arrives on any other
// thread comes from another client: another program, or the user typing into the office.
// While a bracket holds the document locked, the document's own modify event waits for the
// unlock; each sheet's modify event still comes with every change, and the document's change
// notifications do not come for writes through the office's interface. So that the program's
// own writes cost no call back over the pipe, the cells it writes are left out of the watched
// ranges: nobody else's write there needs telling, the bracket puts those cells back anyway.
// The scan kernel watches inside the office instead when it can.
class CalcDocumentWatch
{
public:
    CalcDocumentWatch(CalcConnection &connection, css::uno::Reference<css::frame::XModel> model);
    ~CalcDocumentWatch();
    CalcDocumentWatch(const CalcDocumentWatch &) = delete;
    CalcDocumentWatch &operator=(const CalcDocumentWatch &) = delete;

    // True also when the watch could not be set up: then nobody can say nothing else happened.
    bool othersChanged() const;
    // Called before the program first writes the cell.
    void leaveOut(CalcConnection &connection, const css::table::CellAddress &cell);
    void stop(CalcConnection &connection);

    struct State
    {
        std::atomic<bool> foreign{false};
        std::atomic<void *> ownThread{nullptr};
    };

private:
    css::uno::Reference<css::frame::XModel> model;
    std::shared_ptr<State> state;
    css::uno::Reference<css::uno::XInterface> listener;
    // Per sheet, the sheet itself or the ranges around the cells left out of it.
    QList<css::uno::Reference<css::util::XModifyBroadcaster>> sheets;
    QHash<sal_Int16, QList<css::table::CellAddress>> leftOut;
    bool watching = false;
};

#endif
