#include "excel/calc/calcdocumentwatch.h"
#include "excel/calc/calcconnection.h"
#include "excel/excellogging.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/XChangesNotifier.hpp>
#include <com/sun/star/util/XModifyBroadcaster.hpp>
#include <cppuhelper/implbase2.hxx>

#include <QThread>

using namespace css;

namespace {

class ChangeListener : public cppu::WeakImplHelper2<util::XModifyListener, util::XChangesListener>
{
public:
    explicit ChangeListener(std::shared_ptr<CalcDocumentWatch::State> state)
        : state(std::move(state))
    {}

    void SAL_CALL modified(const lang::EventObject &) override { note("modified"); }
    void SAL_CALL changesOccurred(const util::ChangesEvent &) override { note("changed"); }
    void SAL_CALL disposing(const lang::EventObject &) override { note("disposed"); }

private:
    void note(const char *what)
    {
        if (QThread::currentThreadId() == state->ownThread.load())
            return;
        qCDebug(lcLink) << "Document" << what << "by another client during a bracket";
        state->foreign = true;
    }

    std::shared_ptr<CalcDocumentWatch::State> state;
};

} // namespace

CalcDocumentWatch::CalcDocumentWatch(CalcConnection &connection,
                                     uno::Reference<frame::XModel> model)
    : model(std::move(model)), state(std::make_shared<State>())
{
    state->ownThread = QThread::currentThreadId();
    auto *implementation = new ChangeListener(state);
    listener = uno::Reference<uno::XInterface>(static_cast<cppu::OWeakObject *>(implementation));
    watching = connection.guard(
        "watch document",
        [this, implementation]() {
            uno::Reference<util::XChangesNotifier>(this->model, uno::UNO_QUERY_THROW)
                ->addChangesListener(implementation);
            const uno::Reference<container::XIndexAccess> sheetList(
                uno::Reference<sheet::XSpreadsheetDocument>(this->model, uno::UNO_QUERY_THROW)
                    ->getSheets(),
                uno::UNO_QUERY_THROW);
            for (sal_Int32 index = 0; index < sheetList->getCount(); ++index) {
                const uno::Reference<util::XModifyBroadcaster> sheet(sheetList->getByIndex(index),
                                                                     uno::UNO_QUERY_THROW);
                sheet->addModifyListener(implementation);
                sheets.append(sheet);
            }
            return true;
        },
        false);
}

CalcDocumentWatch::~CalcDocumentWatch() = default;

bool CalcDocumentWatch::othersChanged() const
{
    return !watching || state->foreign;
}

void CalcDocumentWatch::stop(CalcConnection &connection)
{
    if (!listener.is())
        return;
    const uno::Reference<util::XModifyListener> modify(listener, uno::UNO_QUERY);
    const uno::Reference<util::XChangesListener> changes(listener, uno::UNO_QUERY);
    connection.guard("stop watching document", [this, &modify, &changes]() {
        uno::Reference<util::XChangesNotifier>(model, uno::UNO_QUERY_THROW)
            ->removeChangesListener(changes);
        for (const uno::Reference<util::XModifyBroadcaster> &sheet : std::as_const(sheets))
            sheet->removeModifyListener(modify);
    });
    sheets.clear();
    listener.clear();
}
