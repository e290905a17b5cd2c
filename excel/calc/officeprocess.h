#ifndef OFFICEPROCESS_H
#define OFFICEPROCESS_H

#include <QString>

// Whether an office process of the given user runs under the process table at procRoot (the
// layout of /proc). An empty profile stands for the user's default profile; otherwise only an
// office started with "-env:UserInstallation=<profile>" counts, so a private office (tests, a
// second profile) and the user's own office are never taken for each other.
bool isOfficeProcessRunning(const QString &procRoot, uint userId, const QString &profile);

#endif
