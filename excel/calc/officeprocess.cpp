#include "excel/calc/officeprocess.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char officeProgram[] = "soffice.bin";
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

bool isOfficeOf(const QString &processDir, uint userId, const QString &profile)
{
    if (readFile(processDir + "/comm").trimmed() != officeProgram || isZombie(processDir))
        return false;
    if (QFileInfo(processDir).ownerId() != userId)
        return false;
    return processProfile(readFile(processDir + "/cmdline").split('\0')) == profile;
}

} // namespace

bool isOfficeProcessRunning(const QString &procRoot, uint userId, const QString &profile)
{
    const QDir root(procRoot);
    const QStringList entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (numeric && isOfficeOf(root.filePath(entry), userId, profile))
            return true;
    }
    return false;
}
