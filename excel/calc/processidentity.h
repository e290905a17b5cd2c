#ifndef PROCESSIDENTITY_H
#define PROCESSIDENTITY_H

#include <QString>

// A process told apart from a later one that got the same id: its id and the time it started.
// Files that outlive their process (write journals, the folders of scan offices) name their
// owner this way, so that a later run can tell whether the owner died without cleaning up.
namespace ProcessIdentity {

// The start time of a running process in clock ticks since boot; empty when it does not run.
QString startTime(qint64 pid);
// Whether the process that had this id and start time has ended.
bool hasEnded(qint64 pid, const QString &start);

} // namespace ProcessIdentity

#endif
