#ifndef EXCELBACKEND_H
#define EXCELBACKEND_H

#include "excel/excelapplication.h"
#include "excel/sweeppool.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// Creates the application objects of the spreadsheet program the link talks to (LibreOffice
// Calc on this platform). The rest of the program sees only the automation interface.
namespace ExcelBackend {

// The name to show wherever a message names the spreadsheet program.
QString applicationName();
// Where the link looks for the office: a connection name and the office profile (a file URL;
// empty for the user's own profile).
void configure(const QString &connectionName, const QString &profileUrl);
// Whether the spreadsheet program runs for this user.
bool isRunning();
// Why the spreadsheet program could not be reached on the latest try although it may run (its
// connection is not safe to use), with the way out; empty when that was not the reason.
QString refusal();
// The reachable instances, front-most first.
QList<qint64> instances();
// The instance's application object when it shows a workbook; null otherwise.
std::unique_ptr<ExcelApplication> attach(qint64 instance);
// The running instance, or a newly started one; never null (unbound when both fail).
std::unique_ptr<ExcelApplication> attachOrStart();
// Offices of the program's own for sweeps; the spreadsheet program the user runs is not used.
std::unique_ptr<SweepPool> createSweepPool();
// A private folder in the temporary folder for copies of the user's workbooks that the program's
// own offices work on. A program killed outright cannot remove it; the next one that makes such
// a folder does. Null when none can be made.
std::unique_ptr<QTemporaryDir> createPrivateFolder();

} // namespace ExcelBackend

#endif
