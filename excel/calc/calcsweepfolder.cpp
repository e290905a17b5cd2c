#include "excel/calc/calcsweepfolder.h"
#include "excel/calc/officepipe.h"
#include "excel/calc/officeprocess.h"
#include "excel/calc/processidentity.h"
#include "excel/excellogging.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <csignal>
#include <unistd.h>

namespace {

const char prefix[] = "marlowin-sweep-";
const char ownerFile[] = "owner";
const int stopWaitMs = 3000;
const int pollMs = 20;

bool isAbandoned(const QDir &folder)
{
    if (QFileInfo(folder.path()).ownerId() != getuid())
        return false;
    QFile owner(folder.filePath(ownerFile));
    if (!owner.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> fields = owner.readAll().trimmed().split(' ');
    return fields.size() == 2 &&
           ProcessIdentity::hasEnded(fields[0].toLongLong(), QString::fromLatin1(fields[1]));
}

// The name of the pipe an office listens on, from its command line; a killed office leaves the
// pipe's socket behind.
QString pipeOf(qint64 pid)
{
    QFile commandLine(QString("/proc/%1/cmdline").arg(pid));
    if (!commandLine.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression accept("--accept=pipe,name=([^;,\\x00]+)");
    return accept.match(QString::fromLocal8Bit(commandLine.readAll())).captured(1);
}

// Every profile a worker of the pool ever started an office on: worker<i>/<attempt>/profile.
QStringList profileUrls(const QDir &folder)
{
    QStringList urls;
    for (const QString &worker : folder.entryList({"worker*"}, QDir::Dirs)) {
        const QDir workerFolder(folder.filePath(worker));
        for (const QString &attempt : workerFolder.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            urls.append(
                QUrl::fromLocalFile(workerFolder.filePath(attempt + "/profile")).toString());
    }
    return urls;
}

int killOffices(const QDir &folder)
{
    int killed = 0;
    for (const QString &profile : profileUrls(folder)) {
        const QDeadlineTimer deadline(stopWaitMs);
        QList<qint64> processes;
        do {
            processes = OfficeProcess::find("/proc", getuid(), profile,
                                            OfficeProcess::Kind::OfficeAndLauncher);
            for (const qint64 pid : std::as_const(processes)) {
                const QString pipe = pipeOf(pid);
                if (::kill(pid_t(pid), SIGKILL) == 0)
                    ++killed;
                if (!pipe.isEmpty())
                    QFile::remove(OfficePipe::socketPath(pipe, getuid()));
            }
            if (!processes.isEmpty())
                QThread::msleep(pollMs);
        } while (!processes.isEmpty() && !deadline.hasExpired());
    }
    return killed;
}

} // namespace

std::unique_ptr<QTemporaryDir> CalcSweepFolder::create()
{
    removeAbandoned(QDir::tempPath());
    auto folder =
        std::make_unique<QTemporaryDir>(QDir::temp().filePath(prefix + QString("XXXXXX")));
    if (!folder->isValid())
        return nullptr;
    QFile owner(folder->filePath(ownerFile));
    const qint64 pid = ::getpid();
    if (!owner.open(QIODevice::WriteOnly) ||
        owner.write(QString("%1 %2\n").arg(pid).arg(ProcessIdentity::startTime(pid)).toLatin1()) <
            0)
        return nullptr;
    return folder;
}

int CalcSweepFolder::removeAbandoned(const QString &temp)
{
    int removed = 0;
    const QDir parent(temp);
    for (const QString &name : parent.entryList({prefix + QString("*")}, QDir::Dirs)) {
        QDir folder(parent.filePath(name));
        if (!isAbandoned(folder))
            continue;
        const int offices = killOffices(folder);
        if (folder.removeRecursively()) {
            ++removed;
            qCInfo(lcLink).noquote()
                << QString("Removed %1, left by a program that ended without removing it, and "
                           "stopped its %2 office processes")
                       .arg(folder.path())
                       .arg(offices);
        }
    }
    return removed;
}
