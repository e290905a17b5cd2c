#include "excel/calc/processidentity.h"

#include <QFile>
#include <QList>

#include <cerrno>
#include <csignal>

QString ProcessIdentity::startTime(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray line = stat.readAll();
    // Field 22. The command name may hold spaces and parentheses; the fields after it do not.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 19 ? QString::fromLatin1(fields.at(19)) : QString();
}

bool ProcessIdentity::hasEnded(qint64 pid, const QString &start)
{
    if (pid <= 0)
        return true;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return true;
    return startTime(pid) != start;
}
