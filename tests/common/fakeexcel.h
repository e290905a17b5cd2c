#ifndef FAKEEXCEL_H
#define FAKEEXCEL_H

#include "excel/excelapplication.h"
#include "excel/excelworksheet.h"

#include <QHash>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

// A scripted stand-in for the spreadsheet program behind the automation interface, for tests
// of the logic above it. Cells hold values the test sets; a formula cell's value is computed by
// a function the test gives (there is no formula language). Every operation is recorded in
// calls(), one line each, in the order made ("Value Sheet1!B2", "SetValue Sheet1!A1 3", ...).
class FakeExcel
{
public:
    using Formula = std::function<QVariant(FakeExcel &)>;

    struct Cell
    {
        QVariant value;
        Formula formula;
        QString text;
        bool hasText = false;
        // A locked cell of a protected sheet: writes are refused.
        bool locked = false;
    };
    struct Sheet
    {
        QHash<QString, Cell> cells;
        QPointer<QObject> changeReceiver;
        ExcelWorksheet::ChangeHandler changeHandler;
    };
    struct Book
    {
        QMap<QString, Sheet> sheets;
        // What copyProblem() and storeSnapshot() answer.
        QString copyProblem;
        QString snapshotPath;
    };

    FakeExcel();

    // An application object over this spreadsheet; it may outlive nothing of the test.
    std::unique_ptr<ExcelApplication> application(qint64 hwnd = 1);

    // Arranging: cells of the active workbook, addressed as "Sheet!A1" or "A1" (active sheet).
    void setValue(const QString &cell, const QVariant &value);
    void setFormula(const QString &cell, Formula formula);
    // The displayed text, when it should differ from the value's text.
    void setText(const QString &cell, const QString &text);
    void setSelection(const QString &address) { selection = address; }
    QString addBook(const QString &name);
    // Reports a change of the cells as the user's typing would.
    void change(const QString &sheet, const QString &address);

    // Reading, for formulas and checks; these are not recorded.
    QVariant value(const QString &cell);
    double number(const QString &cell) { return value(cell).toDouble(); }
    QStringList calls() const { return log; }
    void clearCalls() { log.clear(); }
    int count(const QString &prefix) const;

    // The model the fake objects work on.
    QMap<QString, Book> books;
    QString activeBook;
    QString activeSheet;
    QString selection;
    bool screenUpdating = true;
    QStringList log;

    QString qualified(const QString &cell) const;
    Cell *find(const QString &qualifiedCell);
};

#endif
