#include "excel/calc/officeprocess.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char officeProgram[] = "soffice.bin";
const char launcherProgram[] = "oosplash";
const char profileArgument[] = "-env:UserInstallation=";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString processProfile(const QByteArrayList &arguments)
{
    for (const QByteArray &argument : arguments) {
        if (argument.startsWith(profileArgument))
            return QString::fromUtf8(argument.mid(int(sizeof(profileArgument)) - 1));
    }
    return QString();
}

// A process that ended but was not reaped yet shows state Z after its name in stat.
bool isZombie(const QString &processDir)
{
    const QByteArray stat = readFile(processDir + "/stat");
    const int nameEnd = stat.lastIndexOf(')');
    return nameEnd < 0 || stat.mid(nameEnd + 1).trimmed().startsWith('Z');
}

bool isProgramOf(const QString &processDir, OfficeProcess::Kind kind, uint userId)
{
    const QByteArray program = readFile(processDir + "/comm").trimmed();
    const bool wanted =
        program == officeProgram ||
        (kind == OfficeProcess::Kind::OfficeAndLauncher && program == launcherProgram);
    return wanted && QFileInfo(processDir).ownerId() == userId && !isZombie(processDir);
}

} // namespace

QList<qint64> OfficeProcess::find(const QString &procRoot, uint userId, const QString &profile,
                                  Kind kind)
{
    QList<qint64> found;
    const QDir root(procRoot);
    const QStringList entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        const QString dir = root.filePath(entry);
        if (numeric && isProgramOf(dir, kind, userId) &&
            processProfile(readFile(dir + "/cmdline").split('\0')) == profile)
            found.append(pid);
    }
    return found;
}

bool OfficeProcess::isRunning(const QString &procRoot, uint userId, const QString &profile)
{
    return !find(procRoot, userId, profile, Kind::Office).isEmpty();
}

bool OfficeProcess::isOffice(const QString &procRoot, qint64 pid, uint userId)
{
    return pid > 0 &&
           isProgramOf(QDir(procRoot).filePath(QString::number(pid)), Kind::Office, userId);
}
