#ifndef OFFICEPROCESS_H
#define OFFICEPROCESS_H

#include <QList>
#include <QString>

// The one scanner of the process table (the layout of /proc at procRoot) for office processes
// of a user. An empty profile stands for the user's default profile; otherwise only processes
// started with "-env:UserInstallation=<profile>" count, so a private office (tests, a second
// profile) and the user's own office are never taken for each other. Ended processes that were
// not reaped yet are never counted.
namespace OfficeProcess {

enum class Kind {
    Office,            // the office itself ("soffice.bin")
    OfficeAndLauncher, // the office and the launcher that hands over to it ("oosplash")
};

QList<qint64> find(const QString &procRoot, uint userId, const QString &profile, Kind kind);
bool isRunning(const QString &procRoot, uint userId, const QString &profile);
// Whether the process pid is an office of the user (any profile).
bool isOffice(const QString &procRoot, qint64 pid, uint userId);

} // namespace OfficeProcess

#endif
