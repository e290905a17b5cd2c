#ifndef CALCBRACKETRECOVERY_H
#define CALCBRACKETRECOVERY_H

#include <QString>

class CalcConnection;

// Repairs what a program that died inside a write bracket left behind: its journal names the
// documents, and each one the office still holds locked gets its cells' contents back, its
// undo history and editing, and the modified flag (it was touched while nobody watched).
namespace CalcBracketRecovery {

// Tells offices apart across runs of the program: the folder of the office's user profile.
QString officeIdentity(CalcConnection &connection);
// Replays the journals of dead processes that were written against this office, removes
// them, and says so in one line per document; returns the number of documents repaired.
int replayAbandoned(CalcConnection &connection);

} // namespace CalcBracketRecovery

#endif
