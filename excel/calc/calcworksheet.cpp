#include "excel/calc/calcworksheet.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcrange.h"
#include "excel/calc/calcworkbook.h"

#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/util/XChangesNotifier.hpp>
#include <cppuhelper/implbase1.hxx>

#include <QMutex>
#include <QMutexLocker>
#include <QPointer>

using namespace css;

// What the office's change notifications are delivered to. The office calls in on its bridge
// thread; the changed ranges are handed over to the receiver's thread, and dropped when the
// worksheet stopped listening in the meantime.
struct CalcChangeReceiver
{
    QMutex mutex;
    QPointer<QObject> receiver;
    ExcelWorksheet::ChangeHandler handler;
    std::shared_ptr<CalcConnection> connection;
    uno::Reference<frame::XModel> model;
    sal_Int16 sheetIndex = -1;
};

namespace {

sal_Int16 sheetIndexOf(const uno::Reference<uno::XInterface> &cells)
{
    return uno::Reference<sheet::XCellRangeAddressable>(cells, uno::UNO_QUERY_THROW)
        ->getRangeAddress()
        .Sheet;
}

void deliverChange(const std::shared_ptr<CalcChangeReceiver> &state,
                   const uno::Reference<uno::XInterface> &cells)
{
    ExcelWorksheet::ChangeHandler handler;
    {
        const QMutexLocker locker(&state->mutex);
        handler = state->handler;
    }
    if (!handler)
        return;
    const sal_Int16 sheet = state->connection->guard(
        "Change", [&cells]() { return sheetIndexOf(cells); }, sal_Int16(-1));
    if (sheet == state->sheetIndex)
        handler(std::make_unique<CalcRange>(state->connection, state->model, cells));
}

class ChangesListener : public cppu::WeakImplHelper1<util::XChangesListener>
{
public:
    explicit ChangesListener(std::shared_ptr<CalcChangeReceiver> state) : state(std::move(state)) {}

    void SAL_CALL changesOccurred(const util::ChangesEvent &event) override
    {
        for (const util::ElementChange &change : event.Changes) {
            const uno::Reference<uno::XInterface> cells(change.ReplacedElement, uno::UNO_QUERY);
            if (!cells.is())
                continue;
            const QMutexLocker locker(&state->mutex);
            if (!state->receiver)
                return;
            QMetaObject::invokeMethod(
                state->receiver, [state = state, cells]() { deliverChange(state, cells); },
                Qt::QueuedConnection);
        }
    }

    void SAL_CALL disposing(const lang::EventObject &) override {}

private:
    std::shared_ptr<CalcChangeReceiver> state;
};

} // namespace

CalcWorksheet::CalcWorksheet(std::shared_ptr<CalcConnection> connection,
                             uno::Reference<frame::XModel> model,
                             uno::Reference<sheet::XSpreadsheet> sheet)
    : connection(std::move(connection)), model(std::move(model)), sheet(std::move(sheet))
{}

CalcWorksheet::~CalcWorksheet()
{
    stopListening();
}

QString CalcWorksheet::describe() const
{
    return "Calc worksheet";
}

QString CalcWorksheet::name()
{
    return toQString(connection->guard(
        "Worksheet.Name",
        [this]() {
            return uno::Reference<container::XNamed>(sheet, uno::UNO_QUERY_THROW)->getName();
        },
        OUString()));
}

std::unique_ptr<ExcelWorkbook> CalcWorksheet::parent()
{
    return std::make_unique<CalcWorkbook>(connection, model);
}

std::unique_ptr<ExcelRange> CalcWorksheet::range(const QString &address)
{
    const uno::Reference<uno::XInterface> cells = connection->guard(
        "Worksheet.Range",
        [this, &address]() {
            return uno::Reference<uno::XInterface>(sheet->getCellRangeByName(toOUString(address)),
                                                   uno::UNO_QUERY);
        },
        uno::Reference<uno::XInterface>());
    if (!cells.is())
        return nullptr;
    return std::make_unique<CalcRange>(connection, model, cells);
}

void CalcWorksheet::setChangeHandler(QObject *receiver, ChangeHandler handler)
{
    stopListening();
    if (!handler || !receiver)
        return;
    auto state = std::make_shared<CalcChangeReceiver>();
    state->receiver = receiver;
    state->handler = std::move(handler);
    state->connection = connection;
    state->model = model;
    state->sheetIndex = connection->guard(
        "Change", [this]() { return sheetIndexOf(sheet); }, sal_Int16(-1));
    const uno::Reference<util::XChangesListener> listener(new ChangesListener(state));
    const bool added = connection->guard(
        "Change",
        [this, &listener]() {
            const uno::Reference<util::XChangesNotifier> notifier(model, uno::UNO_QUERY_THROW);
            notifier->addChangesListener(listener);
            return true;
        },
        false);
    if (!added)
        return;
    changeReceiver = state;
    changesListener = listener;
}

void CalcWorksheet::stopListening()
{
    if (!changeReceiver)
        return;
    {
        const QMutexLocker locker(&changeReceiver->mutex);
        changeReceiver->receiver = nullptr;
        changeReceiver->handler = nullptr;
    }
    connection->guard("Change", [this]() {
        uno::Reference<util::XChangesNotifier>(model, uno::UNO_QUERY_THROW)
            ->removeChangesListener(changesListener);
    });
    changeReceiver.reset();
    changesListener.clear();
}
