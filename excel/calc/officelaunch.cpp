#include "excel/calc/officelaunch.h"

#include <QProcess>
#include <QStandardPaths>
#include <sys/stat.h>

QString OfficeLaunch::program()
{
    const QString found = QStandardPaths::findExecutable("soffice");
    return found.isEmpty() ? QString("/usr/lib/libreoffice/program/soffice") : found;
}

QString OfficeLaunch::acceptArgument(const QString &pipeName)
{
    return "--accept=pipe,name=" + pipeName + ";urp;";
}

QStringList OfficeLaunch::headlessArguments(const QString &profileUrl, const QString &pipeName)
{
    return {"--headless",
            "--invisible",
            "--nodefault",
            "--norestore",
            "--nologo",
            "-env:UserInstallation=" + profileUrl,
            acceptArgument(pipeName)};
}

bool OfficeLaunch::start(const QStringList &arguments, const QProcessEnvironment &environment,
                         Output output)
{
    QProcess process;
    if (output == Output::Discarded) {
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    process.setProgram(program());
    process.setArguments(arguments);
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    const mode_t previous = ::umask(077);
    ::umask(previous | 022);
    const bool started = process.startDetached();
    ::umask(previous);
    return started;
}
