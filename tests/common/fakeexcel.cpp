#include "fakeexcel.h"

#include "excel/celladdress.h"
#include "excel/excelrange.h"
#include "excel/excelwindow.h"
#include "excel/excelworkbook.h"
#include "excel/excelworkbooks.h"
#include "excel/excelworksheets.h"

#include <QRegularExpression>

namespace {

// Where a fake object points into the model; objects keep no state of their own.
struct Place
{
    FakeExcel *excel;
    QString book;
    QString sheet;
};

bool isCellAddress(const QString &address)
{
    static const QRegularExpression pattern("^[A-Z]+[1-9][0-9]*(:[A-Z]+[1-9][0-9]*)?$");
    return pattern.match(address).hasMatch();
}

class FakeRange : public ExcelRange
{
public:
    FakeRange(Place place, QString address) : place(std::move(place)), cells(std::move(address)) {}

    QString describe() const override { return "fake range " + name(); }

    QVariant value() override
    {
        record("Value");
        FakeExcel::Cell *cell = find();
        if (!cell)
            return QVariant();
        return cell->formula ? cell->formula(*place.excel) : cell->value;
    }

    void setValue(double value) override
    {
        record("SetValue", QString::number(value, 'g', 17));
        if (isSingleCell() && isWritable())
            sheet().cells[cells].value = value;
    }

    bool isWritable() override
    {
        FakeExcel::Cell *cell = find();
        return !cell || !cell->locked;
    }

    QString text() override
    {
        record("Text");
        FakeExcel::Cell *cell = find();
        if (!cell)
            return QString();
        if (cell->hasText)
            return cell->text;
        return (cell->formula ? cell->formula(*place.excel) : cell->value).toString();
    }

    bool hasFormula() override
    {
        record("HasFormula");
        FakeExcel::Cell *cell = find();
        return cell && cell->formula;
    }

    int row() override
    {
        record("Row");
        int row = 0, column = 0;
        parseCell(firstCell(), row, column);
        return row;
    }

    int column() override
    {
        record("Column");
        int row = 0, column = 0;
        parseCell(firstCell(), row, column);
        return column;
    }

    QString address() override
    {
        record("Address");
        return cells;
    }

    std::unique_ptr<ExcelWorksheet> worksheet() override;

private:
    QString name() const { return place.sheet + "!" + cells; }
    QString firstCell() const { return cells.section(QRegularExpression("[:,]"), 0, 0); }
    bool isSingleCell() const { return !cells.contains(':') && !cells.contains(','); }
    FakeExcel::Sheet &sheet() { return place.excel->books[place.book].sheets[place.sheet]; }

    FakeExcel::Cell *find()
    {
        if (!isSingleCell())
            return nullptr;
        FakeExcel::Sheet &cellsOfSheet = sheet();
        const auto found = cellsOfSheet.cells.find(cells);
        return found == cellsOfSheet.cells.end() ? nullptr : &found.value();
    }

    void record(const QString &operation, const QString &argument = QString())
    {
        place.excel->log.append(operation + " " + name() +
                                (argument.isEmpty() ? QString() : " " + argument));
    }

    Place place;
    QString cells;
};

class FakeWorkbook;

class FakeWorksheet : public ExcelWorksheet
{
public:
    explicit FakeWorksheet(Place place) : place(std::move(place)) {}

    QString describe() const override { return "fake worksheet " + place.sheet; }

    QString name() override
    {
        place.excel->log.append("Name " + place.sheet);
        return place.sheet;
    }

    std::unique_ptr<ExcelWorkbook> parent() override;

    std::unique_ptr<ExcelRange> range(const QString &address) override
    {
        place.excel->log.append("Range " + place.sheet + "!" + address);
        if (!isCellAddress(address))
            return nullptr;
        return std::make_unique<FakeRange>(place, address);
    }

    void setChangeHandler(QObject *receiver, ChangeHandler handler) override
    {
        FakeExcel::Sheet &sheet = place.excel->books[place.book].sheets[place.sheet];
        sheet.changeReceiver = receiver;
        sheet.changeHandler = std::move(handler);
    }

private:
    Place place;
};

class FakeWorksheets : public ExcelWorksheets
{
public:
    explicit FakeWorksheets(Place place) : place(std::move(place)) {}

    QString describe() const override { return "fake worksheets of " + place.book; }

    std::unique_ptr<ExcelWorksheet> item(const QString &name) override
    {
        place.excel->log.append("Worksheets.Item " + name);
        if (!place.excel->books[place.book].sheets.contains(name))
            return nullptr;
        return std::make_unique<FakeWorksheet>(Place{place.excel, place.book, name});
    }

private:
    Place place;
};

class FakeWorkbook : public ExcelWorkbook
{
public:
    explicit FakeWorkbook(Place place) : place(std::move(place)) {}

    QString describe() const override { return "fake workbook " + place.book; }

    QString name() override
    {
        place.excel->log.append("Workbook.Name " + place.book);
        return place.book;
    }

    std::unique_ptr<ExcelWorksheets> worksheets() override
    {
        return std::make_unique<FakeWorksheets>(place);
    }

    // Formulas are computed at every read, so they are never stale.
    void recalculateAfterWrites() override
    {
        place.excel->log.append("Workbook.RecalculateAfterWrites");
    }

    void recalculateFully() override { place.excel->log.append("Workbook.RecalculateFully"); }

    bool enterUndoContext(const QString &title) override
    {
        place.excel->log.append("Workbook.EnterUndoContext " + title);
        return true;
    }

    bool joinLastUndoStep() override
    {
        place.excel->log.append("Workbook.JoinLastUndoStep");
        return true;
    }

    void leaveUndoContext() override { place.excel->log.append("Workbook.LeaveUndoContext"); }

    QString copyProblem() override
    {
        place.excel->log.append("Workbook.CopyProblem " + place.book);
        return place.excel->books[place.book].copyProblem;
    }

    QString storeSnapshot(const QString &folder) override
    {
        place.excel->log.append("Workbook.StoreSnapshot " + place.book + " " + folder);
        return place.excel->books[place.book].snapshotPath;
    }

private:
    Place place;
};

std::unique_ptr<ExcelWorksheet> FakeRange::worksheet()
{
    record("Worksheet");
    return std::make_unique<FakeWorksheet>(place);
}

std::unique_ptr<ExcelWorkbook> FakeWorksheet::parent()
{
    return std::make_unique<FakeWorkbook>(place);
}

class FakeWorkbooks : public ExcelWorkbooks
{
public:
    explicit FakeWorkbooks(FakeExcel *excel) : excel(excel) {}

    QString describe() const override { return "fake workbooks"; }

    std::unique_ptr<ExcelWorkbook> add() override
    {
        excel->log.append("Workbooks.Add");
        const QString name = excel->addBook(QString("Book%1").arg(excel->books.size() + 1));
        return std::make_unique<FakeWorkbook>(Place{excel, name, "Sheet1"});
    }

    std::unique_ptr<ExcelWorkbook> item(const QString &name) override
    {
        excel->log.append("Workbooks.Item " + name);
        if (!excel->books.contains(name))
            return nullptr;
        return std::make_unique<FakeWorkbook>(Place{excel, name, QString()});
    }

private:
    FakeExcel *excel;
};

class FakeWindow : public ExcelWindow
{
public:
    explicit FakeWindow(FakeExcel *excel) : excel(excel) {}

    QString describe() const override { return "fake window"; }

    std::unique_ptr<ExcelWorksheet> activeSheet() override
    {
        excel->log.append("ActiveSheet");
        return std::make_unique<FakeWorksheet>(Place{excel, excel->activeBook, excel->activeSheet});
    }

    std::unique_ptr<ExcelRange> rangeSelection() override
    {
        excel->log.append("RangeSelection");
        if (excel->selection.isEmpty())
            return nullptr;
        return std::make_unique<FakeRange>(Place{excel, excel->activeBook, excel->activeSheet},
                                           excel->selection);
    }

private:
    FakeExcel *excel;
};

class FakeApplication : public ExcelApplication
{
public:
    FakeApplication(FakeExcel *excel, qint64 handle) : excel(excel), handle(handle) {}

    QString describe() const override { return "fake application"; }
    qint64 hwnd() override { return handle; }

    std::unique_ptr<ExcelWorkbook> activeWorkbook() override
    {
        excel->log.append("ActiveWorkbook");
        if (excel->activeBook.isEmpty())
            return nullptr;
        return std::make_unique<FakeWorkbook>(Place{excel, excel->activeBook, QString()});
    }

    std::unique_ptr<ExcelWindow> activeWindow() override
    {
        excel->log.append("ActiveWindow");
        return std::make_unique<FakeWindow>(excel);
    }

    std::unique_ptr<ExcelWorkbooks> workbooks() override
    {
        return std::make_unique<FakeWorkbooks>(excel);
    }

    void setVisible(bool visible) override
    {
        excel->log.append(QString("Visible %1").arg(visible));
    }
    void setEnableEvents(bool enable) override
    {
        excel->log.append(QString("EnableEvents %1").arg(enable));
    }
    void setScreenUpdating(bool updating) override
    {
        excel->log.append(QString("ScreenUpdating %1").arg(updating));
        excel->screenUpdating = updating;
    }

private:
    FakeExcel *excel;
    qint64 handle;
};

} // namespace

FakeExcel::FakeExcel()
{
    activeBook = addBook("Book1");
    activeSheet = "Sheet1";
}

std::unique_ptr<ExcelApplication> FakeExcel::application(qint64 hwnd)
{
    return std::make_unique<FakeApplication>(this, hwnd);
}

QString FakeExcel::addBook(const QString &name)
{
    books[name].sheets["Sheet1"];
    return name;
}

QString FakeExcel::qualified(const QString &cell) const
{
    return cell.contains('!') ? cell : activeSheet + "!" + cell;
}

FakeExcel::Cell *FakeExcel::find(const QString &qualifiedCell)
{
    const QString sheet = qualifiedCell.section('!', 0, 0);
    const QString address = qualifiedCell.section('!', 1);
    Sheet &cells = books[activeBook].sheets[sheet];
    const auto found = cells.cells.find(address);
    return found == cells.cells.end() ? nullptr : &found.value();
}

void FakeExcel::setValue(const QString &cell, const QVariant &value)
{
    const QString name = qualified(cell);
    books[activeBook].sheets[name.section('!', 0, 0)].cells[name.section('!', 1)].value = value;
}

void FakeExcel::setFormula(const QString &cell, Formula formula)
{
    const QString name = qualified(cell);
    books[activeBook].sheets[name.section('!', 0, 0)].cells[name.section('!', 1)].formula =
        std::move(formula);
}

void FakeExcel::setText(const QString &cell, const QString &text)
{
    const QString name = qualified(cell);
    Cell &target = books[activeBook].sheets[name.section('!', 0, 0)].cells[name.section('!', 1)];
    target.text = text;
    target.hasText = true;
}

QVariant FakeExcel::value(const QString &cell)
{
    Cell *found = find(qualified(cell));
    if (!found)
        return QVariant();
    return found->formula ? found->formula(*this) : found->value;
}

void FakeExcel::change(const QString &sheet, const QString &address)
{
    Sheet &target = books[activeBook].sheets[sheet];
    if (target.changeHandler && target.changeReceiver)
        target.changeHandler(std::make_unique<FakeRange>(Place{this, activeBook, sheet}, address));
}

int FakeExcel::count(const QString &prefix) const
{
    int found = 0;
    for (const QString &call : log) {
        if (call.startsWith(prefix))
            ++found;
    }
    return found;
}
