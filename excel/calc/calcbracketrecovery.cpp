#include "excel/calc/calcbracketrecovery.h"
#include "excel/calc/calcbracketjournal.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcworkbooks.h"
#include "excel/excellogging.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/thePathSettings.hpp>

using namespace css;

namespace {

// Only a document the dead program left locked is its document: a document of a restarted
// office that happens to carry the same title is not.
uno::Reference<frame::XModel> lockedDocument(CalcConnection &connection,
                                             const CalcJournalDocument &entry)
{
    for (const uno::Reference<frame::XModel> &model :
         CalcWorkbooks::spreadsheetModels(connection)) {
        const bool matches = connection.guard(
            "find interrupted document",
            [&model, &entry]() {
                const QString url = toQString(model->getURL());
                const QString title = toQString(
                    uno::Reference<frame::XTitle>(model, uno::UNO_QUERY_THROW)->getTitle());
                const bool same =
                    entry.url.isEmpty() ? url.isEmpty() && title == entry.title : url == entry.url;
                return same && model->hasControllersLocked();
            },
            false);
        if (matches)
            return model;
    }
    return nullptr;
}

uno::Reference<table::XCell> cellAt(const uno::Reference<frame::XModel> &model,
                                    const CalcJournalCell &cell)
{
    const uno::Reference<container::XIndexAccess> sheets(
        uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(cell.sheet),
                                                    uno::UNO_QUERY_THROW);
    return sheet->getCellByPosition(cell.column, cell.row);
}

// The cells first, while the dead program's undo context still hides the writes.
int restoreDocument(CalcConnection &connection, const uno::Reference<frame::XModel> &model,
                    const CalcJournalDocument &entry)
{
    int restored = 0;
    for (const CalcJournalCell &cell : entry.cells) {
        restored += connection.guard(
            "restore cell",
            [&model, &cell]() {
                cell.content.write(cellAt(model, cell));
                return 1;
            },
            0);
    }
    if (entry.undo == CalcUndoMode::HiddenContext) {
        connection.guard("leave undo context", [&model]() {
            uno::Reference<document::XUndoManagerSupplier>(model, uno::UNO_QUERY_THROW)
                ->getUndoManager()
                ->leaveUndoContext();
        });
    }
    if (entry.undo == CalcUndoMode::UndoDisabled) {
        connection.guard("enable undo", [&model]() {
            uno::Reference<beans::XPropertySet>(model, uno::UNO_QUERY_THROW)
                ->setPropertyValue("IsUndoEnabled", uno::Any(true));
        });
    }
    connection.guard("unlock document", [&model]() { model->unlockControllers(); });
    connection.guard("mark document modified", [&model]() {
        uno::Reference<util::XModifiable>(model, uno::UNO_QUERY_THROW)->setModified(true);
    });
    return restored;
}

} // namespace

QString CalcBracketRecovery::officeIdentity(CalcConnection &connection)
{
    return toQString(connection.guard(
        "office identity",
        [&connection]() {
            OUString folder;
            util::thePathSettings::get(connection.context())->getPropertyValue("UserConfig") >>=
                folder;
            return folder;
        },
        OUString()));
}

int CalcBracketRecovery::replayAbandoned(CalcConnection &connection)
{
    if (!connection.isAlive())
        return 0;
    const QStringList files = CalcBracketJournal::abandonedFiles();
    if (files.isEmpty())
        return 0;
    const QString office = officeIdentity(connection);
    if (office.isEmpty())
        return 0;
    int repaired = 0;
    for (const QString &file : files) {
        CalcBracketJournal journal;
        if (!CalcBracketJournal::load(file, journal) || journal.officeId() != office)
            continue;
        for (const CalcJournalDocument &entry : journal.documents()) {
            const uno::Reference<frame::XModel> model = lockedDocument(connection, entry);
            if (!model.is())
                continue;
            const int cells = restoreDocument(connection, model, entry);
            ++repaired;
            qCWarning(lcLink).noquote()
                << QString("Repaired \"%1\" after a write was cut short: %2 of %3 cells put back")
                       .arg(entry.title)
                       .arg(cells)
                       .arg(entry.cells.size());
        }
        journal.remove();
    }
    return repaired;
}
