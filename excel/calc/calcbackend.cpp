#include "excel/calc/calcbackend.h"
#include "excel/calc/calcapplication.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/officelaunch.h"
#include "excel/calc/officeprocess.h"

#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QDeadlineTimer>
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
    // The office makes the pipe's socket with its umask; the connection refuses one that other
    // users may write.
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

QStringList officeArguments(const QStringList &extra)
{
    QStringList arguments = extra;
    if (!settings().profileUrl.isEmpty())
        arguments << "-env:UserInstallation=" + settings().profileUrl;
    arguments << OfficeLaunch::acceptArgument(settings().pipeName);
    return arguments;
}

bool startOffice(const QStringList &extra)
{
    return OfficeLaunch::start(officeArguments(extra));
}

// Waits for an office that was started or asked to listen; a pipe that is refused or does not
// answer will not get better by waiting.
std::shared_ptr<CalcConnection> waitForConnection(int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        CalcConnection::Failure failure = CalcConnection::Failure::None;
        std::shared_ptr<CalcConnection> connection =
            CalcConnection::open(settings().pipeName, &failure);
        if (connection || failure != CalcConnection::Failure::NoOffice || deadline.hasExpired())
            return connection;
        QThread::msleep(retryMs);
    }
}

// The live connection, opening one when there is none; with an office that runs but does not
// listen, it is asked to. Never starts an office.
std::shared_ptr<CalcConnection> liveConnection(CalcConnection::Failure &failure)
{
    std::shared_ptr<CalcConnection> &connection = settings().connection;
    failure = CalcConnection::Failure::None;
    if (connection && connection->answers())
        return connection;
    connection = CalcConnection::open(settings().pipeName, &failure);
    if (!connection && failure == CalcConnection::Failure::NoOffice &&
        CalcBackend::isOfficeRunning() && startOffice({"--nologo"}))
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
    return OfficeProcess::isRunning("/proc", getuid(), settings().profileUrl);
}

QString CalcBackend::refusal()
{
    return CalcConnection::lastRefusal();
}

QList<qint64> CalcBackend::officeInstances()
{
    CalcConnection::Failure failure;
    const std::shared_ptr<CalcConnection> connection = liveConnection(failure);
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
    CalcConnection::Failure failure;
    std::shared_ptr<CalcConnection> connection = liveConnection(failure);
    if (!connection && failure == CalcConnection::Failure::NoOffice &&
        startOffice({"--calc", "--norestore", "--nologo"})) {
        connection = waitForConnection(startWaitMs);
        settings().connection = connection;
    }
    return std::make_unique<CalcApplication>(connection ? connection : CalcConnection::unbound());
}
