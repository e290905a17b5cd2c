#ifndef SPREADSHEETPROMPTS_H
#define SPREADSHEETPROMPTS_H

#include <QString>

class QWidget;
class VIVExcelApplication;

// The questions and warnings around making sliders and watches. They stay on top of the
// spreadsheet, which the user looks at.
namespace SpreadsheetPrompts {

// With no reachable spreadsheet: offers to start the spreadsheet program, or to open a new
// workbook in the running one; when the spreadsheet was refused as unsafe to use, tells why
// instead. The wrapper of the instance the user accepted, or null.
VIVExcelApplication *offerSpreadsheet(QWidget *parent);
// The selection held no cell a slider (or a watch) could be made for.
void warnNothingUsable(QWidget *parent, bool forSliders);
void warn(QWidget *parent, const QString &title, const QString &text);

} // namespace SpreadsheetPrompts

#endif
