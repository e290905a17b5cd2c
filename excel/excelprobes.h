#ifndef EXCELPROBES_H
#define EXCELPROBES_H

#include <QString>

// Whether the spreadsheet program runs for this user; answers at once.
bool isExcelProcessRunning();
// Whether the title of the active window starts with prefix; only the first 19 characters of
// the title are compared.
bool foregroundTitleStartsWith(const QString &prefix);
enum class ExcelForeground {
    None,     // another application is in front, or nobody says which
    Document, // a window whose title names the spreadsheet program last
    Dialog,   // a dialog that belongs to such a window
};

// Which kind of the spreadsheet program's windows is the active one. Needs no connection to it.
ExcelForeground excelForeground();
// Whether a document window or a dialog of the spreadsheet program is the active one.
bool isExcelForeground();
// Whether one of this program's windows is the active one.
bool isOwnWindowForeground();
// The comparison the two tests above make, apart from finding the title.
bool titleStartsWith(const QString &title, const QString &prefix);
bool isExcelWindowTitle(const QString &title);

#endif
