#ifndef CALCBACKEND_H
#define CALCBACKEND_H

#include "excel/excelapplication.h"

#include <QList>
#include <QString>
#include <memory>

// Finding, starting and attaching to LibreOffice Calc. The office is reached through a named
// pipe; a running office that does not listen yet is asked to, by running the office program
// once more with the accept argument (the running instance takes the arguments over).
namespace CalcBackend {

// The pipe to use and the office profile (a file URL; empty for the user's default one).
void configure(const QString &pipeName, const QString &profileUrl);
bool isOfficeRunning();
// Why the office could not be reached on the latest try although it may run; empty otherwise.
QString refusal();
// The connection's identity when an office can be reached (asking it to listen when needed),
// as a list of at most one entry.
QList<qint64> officeInstances();
// The office behind the identity when it still is reachable and shows a spreadsheet; else null.
std::unique_ptr<ExcelApplication> attachToInstance(qint64 instance);
// Attaches to the running office or starts one. Never null: when neither works the result is
// bound to nothing and answers every call with an empty value.
std::unique_ptr<ExcelApplication> attachOrStart();

} // namespace CalcBackend

#endif
