#include "excel/calc/calcdocumentwatch.h"
#include "excel/calc/calcconnection.h"
#include "excel/excellogging.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/XChangesNotifier.hpp>
#include <com/sun/star/util/XModifyBroadcaster.hpp>
#include <cppuhelper/implbase2.hxx>

#include <QThread>

#include <algorithm>

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

// The rectangles that cover a sheet but the given cells: whole bands of rows between the rows
// that hold such cells, and on those rows the stretches between them.
uno::Sequence<table::CellRangeAddress> rangesAround(const table::CellRangeAddress &sheet,
                                                    QList<table::CellAddress> cells)
{
    std::sort(cells.begin(), cells.end(),
              [](const table::CellAddress &a, const table::CellAddress &b) {
                  return a.Row != b.Row ? a.Row < b.Row : a.Column < b.Column;
              });
    std::vector<table::CellRangeAddress> ranges;
    const auto add = [&](sal_Int32 left, sal_Int32 top, sal_Int32 right, sal_Int32 bottom) {
        if (left <= right && top <= bottom)
            ranges.push_back({sheet.Sheet, left, top, right, bottom});
    };
    sal_Int32 top = sheet.StartRow;
    for (qsizetype i = 0; i < cells.size();) {
        const sal_Int32 row = cells[i].Row;
        add(sheet.StartColumn, top, sheet.EndColumn, row - 1);
        sal_Int32 left = sheet.StartColumn;
        for (; i < cells.size() && cells[i].Row == row; ++i) {
            add(left, row, cells[i].Column - 1, row);
            left = std::max(left, cells[i].Column + 1);
        }
        add(left, row, sheet.EndColumn, row);
        top = row + 1;
    }
    add(sheet.StartColumn, top, sheet.EndColumn, sheet.EndRow);
    return uno::Sequence<table::CellRangeAddress>(ranges.data(), sal_Int32(ranges.size()));
}

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

// The new ranges are listened to before the old ones are let go, so no change slips between.
void CalcDocumentWatch::leaveOut(CalcConnection &connection, const table::CellAddress &cell)
{
    if (!watching || !listener.is() || cell.Sheet < 0 || cell.Sheet >= sheets.size())
        return;
    QList<table::CellAddress> &cells = leftOut[cell.Sheet];
    cells.append(cell);
    const uno::Reference<util::XModifyListener> modify(listener, uno::UNO_QUERY);
    watching = connection.guard(
        "watch around written cells",
        [this, &cell, &cells, &modify]() {
            const uno::Reference<container::XIndexAccess> sheetList(
                uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY_THROW)
                    ->getSheets(),
                uno::UNO_QUERY_THROW);
            const table::CellRangeAddress whole =
                uno::Reference<sheet::XCellRangeAddressable>(sheetList->getByIndex(cell.Sheet),
                                                             uno::UNO_QUERY_THROW)
                    ->getRangeAddress();
            const uno::Reference<sheet::XSheetCellRangeContainer> around(
                uno::Reference<lang::XMultiServiceFactory>(model, uno::UNO_QUERY_THROW)
                    ->createInstance("com.sun.star.sheet.SheetCellRanges"),
                uno::UNO_QUERY_THROW);
            around->addRangeAddresses(rangesAround(whole, cells), false);
            const uno::Reference<util::XModifyBroadcaster> broadcaster(around,
                                                                       uno::UNO_QUERY_THROW);
            broadcaster->addModifyListener(modify);
            sheets[cell.Sheet]->removeModifyListener(modify);
            sheets[cell.Sheet] = broadcaster;
            return true;
        },
        false);
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
