#include "excel/calc/officelaunch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <sys/stat.h>

QString OfficeLaunch::program()
{
    const QString found = QStandardPaths::findExecutable("soffice");
    return found.isEmpty() ? QString("/usr/lib/libreoffice/program/soffice") : found;
}

namespace {

// The version the office installation declares in its configuration, as "7.4"; empty when the
// installation does not say.
QString installedVersion()
{
    const QDir program = QFileInfo(QFileInfo(OfficeLaunch::program()).canonicalFilePath()).dir();
    QFile registry(program.filePath("../share/registry/main.xcd"));
    if (!registry.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression setupVersion(
        R"(oor:name="ooSetupVersion">\s*<value>([0-9]+\.[0-9]+)</value>)");
    return setupVersion.match(QString::fromUtf8(registry.readAll())).captured(1);
}

} // namespace

void OfficeLaunch::prepareProfile(const QString &profileFolder)
{
    static const QString version = installedVersion();
    const QDir user(QDir(profileFolder).filePath("user"));
    QFile settings(user.filePath("registrymodifications.xcu"));
    if (version.isEmpty() || settings.exists() || !user.mkpath(".") ||
        !settings.open(QIODevice::WriteOnly))
        return;
    const QString text = QString(R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>%1</value></prop></item>
</oor:items>
)")
                             .arg(version);
    settings.write(text.toUtf8());
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
