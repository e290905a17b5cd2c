#include "excel/vivexcelapplication.h"
#include "excel/celladdress.h"
#include "excel/excelapplication.h"
#include "excel/excelbackend.h"
#include "excel/excelrange.h"
#include "excel/excelwindow.h"
#include "excel/excelworkbook.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelwindow.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"

#include "excel/excellogging.h"

#include <limits>

namespace {

// The distinct workbooks the cells belong to.
QList<VIVExcelWorkbook *> workbooksOf(const QList<VIVExcelRange *> &ranges)
{
    QList<VIVExcelWorkbook *> books;
    for (VIVExcelRange *range : ranges) {
        VIVExcelSheet *sheet = range ? range->sheet(false) : nullptr;
        VIVExcelWorkbook *book = sheet ? sheet->workbook() : nullptr;
        if (book && !books.contains(book))
            books.append(book);
    }
    return books;
}

// What the spreadsheet gives for a number; a text never counts, whatever it looks like.
bool holdsNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool isEmptyText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString && value.toString().isEmpty();
}

// Walks from a cell towards column or row 1 over numbers; the first text found names the cell.
// A cell holding the empty text ends the walk without a label.
QString labelTowards(VIVExcelSheet *sheet, int row, int column, bool alongRow)
{
    for (int k = (alongRow ? column : row) - 1; k >= 1; --k) {
        VIVExcelRange *cell =
            sheet->range(alongRow ? cellAddress(row, k) : cellAddress(k, column), false);
        const QVariant value = cell->value();
        if (isEmptyText(value))
            return QString();
        bool isNumber = false;
        value.toDouble(&isNumber);
        if (!isNumber)
            return cell->text();
    }
    return QString();
}

// A value read from a cell as a scan stores it. Only a number is a number: a text that looks
// like one ("12", "inf") reads NaN. Results keep double precision, so a large value stays finite
// and a small step stays visible.
qreal scanNumber(const QVariant &value)
{
    return holdsNumber(value) ? value.toDouble() : std::numeric_limits<qreal>::quiet_NaN();
}

// The wrapped cells of a batch; nothing when one of them wraps no cell.
std::optional<QList<ExcelRange *>> cellsOf(const QList<VIVExcelRange *> &ranges)
{
    QList<ExcelRange *> cells;
    cells.reserve(ranges.size());
    for (VIVExcelRange *range : ranges) {
        auto *cell = dynamic_cast<ExcelRange *>(range->object());
        if (!cell)
            return std::nullopt;
        cells.append(cell);
    }
    return cells;
}

} // namespace

VIVExcelApplication::VIVExcelApplication(std::unique_ptr<ExcelObject> object, QObject *parent)
    : VIVExcelBase(parent)
{
    setObject(std::move(object));
}

std::unique_ptr<ExcelObject> VIVExcelApplication::createObject()
{
    std::unique_ptr<ExcelApplication> application = ExcelBackend::attachOrStart();
    application->setEnableEvents(true);
    application->setVisible(true);
    return application;
}

qint64 VIVExcelApplication::hwnd() const
{
    auto *application = dynamic_cast<ExcelApplication *>(currentObject());
    return application ? application->hwnd() : 0;
}

void VIVExcelApplication::show()
{
    setVisible(true);
}

void VIVExcelApplication::setVisible(bool visible)
{
    if (auto *application = dynamic_cast<ExcelApplication *>(object()))
        application->setVisible(visible);
}

void VIVExcelApplication::setScreenUpdating(bool updating)
{
    if (auto *application = dynamic_cast<ExcelApplication *>(object()))
        application->setScreenUpdating(updating);
}

VIVExcelWorkbooks *VIVExcelApplication::workbooks()
{
    if (!workbooksWrapper) {
        workbooksWrapper = new VIVExcelWorkbooks(this);
        ownedObjects.append(workbooksWrapper);
    }
    return workbooksWrapper;
}

VIVExcelWorkbook *VIVExcelApplication::activeWorkbook(bool keep)
{
    auto *application = dynamic_cast<ExcelApplication *>(object());
    return kept(new VIVExcelWorkbook(application ? application->activeWorkbook() : nullptr, this),
                keep);
}

VIVExcelWindow *VIVExcelApplication::activeWindow(bool keep)
{
    auto *application = dynamic_cast<ExcelApplication *>(object());
    return kept(new VIVExcelWindow(application ? application->activeWindow() : nullptr, this),
                keep);
}

QStringList VIVExcelApplication::cellLabels(VIVExcelRange *range)
{
    VIVExcelSheet *sheet = range->sheet(false);
    const int column = range->column();
    const int row = range->row();
    return {labelTowards(sheet, row, column, true), labelTowards(sheet, row, column, false)};
}

QList<qreal>
VIVExcelApplication::setCellValuesGetCellValues(const QList<VIVExcelRange *> &writeRanges,
                                                const QList<qreal> &values,
                                                const QList<VIVExcelRange *> &readRanges)
{
    if (writeRanges.size() != values.size()) {
        qCDebug(lcLink) << "Incorrect data length in setCellValuesGetCellValues";
        return {};
    }
    for (qsizetype i = 0; i < writeRanges.size(); ++i)
        writeRanges[i]->setValue(double(values[i]));
    QList<qreal> results;
    results.reserve(readRanges.size());
    for (VIVExcelRange *range : readRanges)
        results.append(scanNumber(range->value()));
    return results;
}

QList<qreal> VIVExcelApplication::evaluatePoints(const QList<VIVExcelRange *> &writeRanges,
                                                 const QList<qreal> &pointValues,
                                                 const QList<VIVExcelRange *> &readRanges)
{
    const qsizetype width = writeRanges.size();
    if (width == 0 || pointValues.size() % width != 0) {
        qCWarning(lcLink) << "Incorrect data length in evaluatePoints";
        return {};
    }
    if (const std::optional<QList<qreal>> results =
            evaluateInApplication(writeRanges, pointValues, readRanges))
        return *results;
    QList<qreal> results;
    results.reserve(pointValues.size() / width * readRanges.size());
    for (qsizetype start = 0; start < pointValues.size(); start += width) {
        const QList<qreal> point =
            setCellValuesGetCellValues(writeRanges, pointValues.mid(start, width), readRanges);
        if (point.size() != readRanges.size())
            return {};
        results.append(point);
    }
    return results;
}

// The application runs the whole batch itself when it can; its values go through the same
// conversion as the cell-by-cell reads, so both ways store the same numbers.
std::optional<QList<qreal>>
VIVExcelApplication::evaluateInApplication(const QList<VIVExcelRange *> &writeRanges,
                                           const QList<qreal> &pointValues,
                                           const QList<VIVExcelRange *> &readRanges)
{
    auto *application = dynamic_cast<ExcelApplication *>(object());
    const std::optional<QList<ExcelRange *>> writes = cellsOf(writeRanges);
    const std::optional<QList<ExcelRange *>> reads = cellsOf(readRanges);
    if (!application || !writes || !reads)
        return std::nullopt;
    const std::optional<QList<QVariant>> values =
        application->evaluatePoints(*writes, pointValues, *reads);
    if (!values || values->size() != pointValues.size() / writeRanges.size() * readRanges.size())
        return std::nullopt;
    QList<qreal> results;
    results.reserve(values->size());
    for (const QVariant &value : *values)
        results.append(scanNumber(value));
    return results;
}

void VIVExcelApplication::recalculateFullyWhereNeeded(const QList<VIVExcelRange *> &ranges)
{
    for (VIVExcelWorkbook *book : workbooksOf(ranges))
        book->recalculateAfterWrites();
}

void VIVExcelApplication::recalculateFully(const QList<VIVExcelRange *> &ranges)
{
    for (VIVExcelWorkbook *book : workbooksOf(ranges))
        book->recalculateFully();
}
