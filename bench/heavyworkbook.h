#ifndef HEAVYWORKBOOK_H
#define HEAVYWORKBOOK_H

#include <QString>

// A workbook whose cost is the office's own recalculation, as large models are: a portfolio of
// loans, each paid off month by month over 30 years in five formulas a month that all depend on
// the inputs B1 (principal of the first loan), B2 (annual rate) and B3 (extra payment a month).
// B4 counts the months the first loan runs; B5 sums the loans' balances after ten years.
namespace HeavyWorkbook {

// Writes it as a flat ODF spreadsheet into folder; returns its path, empty when it cannot.
QString write(const QString &folder, int loans = 4);
// Writes it into a folder of its own below folder and has a private office save it as .xlsx,
// as users have such workbooks; returns the .xlsx file's path, empty when that fails. (The flat
// ODF file recalculates everything on loading, and its cost per point varies from run to run by
// a factor of two and more; the .xlsx costs the same in every run.) The office it starts points
// the spreadsheet link at itself while it runs, so call this before starting another for a test.
QString writeXlsx(const QString &folder, int loans = 4);

} // namespace HeavyWorkbook

#endif
