#ifndef CALCTERMINATIONGUARD_H
#define CALCTERMINATIONGUARD_H

class CalcConnection;
class CalcWriteBracket;

// Ends open write brackets when the program is asked to stop (SIGTERM, SIGINT, SIGHUP): the
// written cells get their contents back and the documents are unlocked before the program goes
// the way the signal asks. The signal is only noted in its handler; the brackets are ended on
// the thread of the event loop, the next time it runs.
namespace CalcTerminationGuard {

void watch(CalcWriteBracket *bracket, CalcConnection *connection);
void forget(CalcWriteBracket *bracket);

} // namespace CalcTerminationGuard

#endif
