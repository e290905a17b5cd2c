#include "excel/calc/calcbackend.h"
#include "excel/calc/calcapplication.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/officeprocess.h"

#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

using namespace css;

namespace {

// How long an office that was asked to listen, or was started, may take to accept.
const int listenWaitMs = 3000;
const int startWaitMs = 30000;
const int retryMs = 100;

struct Settings
{
    // Office pipes are private to the user already (the user id is part of their path).
    QString pipeName = "marlowin";
    QString profileUrl;
    std::shared_ptr<CalcConnection> connection;
};

// Never destroyed: the office's runtime is gone by the time static objects die, and releasing
// a bridge then would crash the program on its way out.
Settings &settings()
{
    static Settings *instance = new Settings;
    return *instance;
}

QString officeProgram()
{
    const QString found = QStandardPaths::findExecutable("soffice");
    return found.isEmpty() ? QString("/usr/lib/libreoffice/program/soffice") : found;
}

QStringList officeArguments(const QStringList &extra)
{
    QStringList arguments = extra;
    if (!settings().profileUrl.isEmpty())
        arguments << "-env:UserInstallation=" + settings().profileUrl;
    arguments << "--accept=pipe,name=" + settings().pipeName + ";urp;";
    return arguments;
}

std::shared_ptr<CalcConnection> waitForConnection(int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        std::shared_ptr<CalcConnection> connection = CalcConnection::open(settings().pipeName);
        if (connection || deadline.hasExpired())
            return connection;
        QThread::msleep(retryMs);
    }
}

// The live connection, opening one when there is none; with an office that runs but does not
// listen, it is asked to. Never starts an office.
std::shared_ptr<CalcConnection> liveConnection()
{
    std::shared_ptr<CalcConnection> &connection = settings().connection;
    if (connection && connection->answers())
        return connection;
    connection = CalcConnection::open(settings().pipeName);
    if (!connection && CalcBackend::isOfficeRunning() &&
        QProcess::startDetached(officeProgram(), officeArguments({"--nologo"})))
        connection = waitForConnection(listenWaitMs);
    return connection;
}

bool showsSpreadsheet(CalcConnection &connection)
{
    return connection.guard(
        "find workbook",
        [&connection]() {
            return uno::Reference<sheet::XSpreadsheetDocument>(
                       connection.desktop()->getCurrentComponent(), uno::UNO_QUERY)
                .is();
        },
        false);
}

} // namespace

void CalcBackend::configure(const QString &pipeName, const QString &profileUrl)
{
    settings().pipeName = pipeName;
    settings().profileUrl = profileUrl;
    settings().connection.reset();
}

bool CalcBackend::isOfficeRunning()
{
    return isOfficeProcessRunning("/proc", getuid(), settings().profileUrl);
}

QList<qint64> CalcBackend::officeInstances()
{
    const std::shared_ptr<CalcConnection> connection = liveConnection();
    if (!connection)
        return {};
    return {connection->id()};
}

std::unique_ptr<ExcelApplication> CalcBackend::attachToInstance(qint64 instance)
{
    const std::shared_ptr<CalcConnection> connection = settings().connection;
    if (!connection || !connection->answers() || connection->id() != instance ||
        !showsSpreadsheet(*connection))
        return nullptr;
    return std::make_unique<CalcApplication>(connection);
}

std::unique_ptr<ExcelApplication> CalcBackend::attachOrStart()
{
    std::shared_ptr<CalcConnection> connection = liveConnection();
    if (!connection &&
        QProcess::startDetached(officeProgram(),
                                officeArguments({"--calc", "--norestore", "--nologo"}))) {
        connection = waitForConnection(startWaitMs);
        settings().connection = connection;
    }
    return std::make_unique<CalcApplication>(connection ? connection : CalcConnection::unbound());
}

QString CalcBackend::activeOfficeTitle()
{
    const std::shared_ptr<CalcConnection> connection = settings().connection;
    if (!connection || !connection->isAlive())
        return QString();
    return toQString(connection->guard(
        "find active window",
        [&connection]() {
            const uno::Reference<frame::XFrame> frame = connection->desktop()->getCurrentFrame();
            if (!frame.is() || !frame->isActive())
                return OUString();
            return uno::Reference<frame::XTitle>(frame, uno::UNO_QUERY_THROW)->getTitle();
        },
        OUString()));
}
