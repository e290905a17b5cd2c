#ifndef EXCELPROBES_H
#define EXCELPROBES_H

#include <QString>

// Whether the spreadsheet program runs for this user; answers at once.
bool isExcelProcessRunning();
// Whether the title of the window in front (one of ours, or the spreadsheet program's) starts
// with prefix; only the first 19 characters of the title are compared.
bool foregroundTitleStartsWith(const QString &prefix);
// Whether a window of the spreadsheet program is in front.
bool isExcelForeground();
// The comparison the two tests above make, apart from finding the title.
bool titleStartsWith(const QString &title, const QString &prefix);
bool isExcelWindowTitle(const QString &title);

#endif
