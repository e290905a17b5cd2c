#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernel.h"
#include "excel/calc/calcrecalculation.h"
#include "excel/calc/calcwritebracket.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <QThread>
#include <csignal>

namespace {

using namespace css;

const char bootstrapVariable[] = "URE_BOOTSTRAP";
const char bootstrapFile[] = "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc";

// Never released: the office runtime is torn down before static objects die, and releasing
// the context then would crash the program on its way out.
uno::Reference<uno::XComponentContext> localContext()
{
    static const uno::Reference<uno::XComponentContext> &context =
        *new uno::Reference<uno::XComponentContext>([]() {
            // A write to the pipe of an office that just died must fail, not end the program.
            std::signal(SIGPIPE, SIG_IGN);
            if (qEnvironmentVariableIsEmpty(bootstrapVariable))
                qputenv(bootstrapVariable, bootstrapFile);
            try {
                return cppu::defaultBootstrap_InitialComponentContext();
            } catch (const cppu::BootstrapException &e) {
                qDebug() << "Cannot start the office bridge:" << toQString(e.getMessage());
            } catch (const uno::Exception &e) {
                qDebug() << "Cannot start the office bridge:" << toQString(e.Message);
            }
            return uno::Reference<uno::XComponentContext>();
        }());
    return context;
}

const int openAttempts = 5;
const int openRetryMs = 200;

qint64 nextSerial()
{
    static qint64 serial = 0;
    return ++serial;
}

} // namespace

CalcConnection::CalcConnection()
    : bracket(std::make_unique<CalcWriteBracket>()), scanKernel(std::make_unique<CalcKernel>()),
      recalculating(std::make_unique<CalcRecalculation>())
{}

// The bridge closes itself once the last object of the office is released.
CalcConnection::~CalcConnection() = default;

// An office that is still starting may accept a connection and drop it again; such a
// connection is tried again a few times.
std::shared_ptr<CalcConnection> CalcConnection::open(const QString &pipeName)
{
    for (int attempt = 1;; ++attempt) {
        bool dropped = false;
        std::shared_ptr<CalcConnection> connection = tryOpen(pipeName, dropped);
        if (connection || !dropped || attempt == openAttempts)
            return connection;
        QThread::msleep(openRetryMs);
    }
}

std::shared_ptr<CalcConnection> CalcConnection::tryOpen(const QString &pipeName, bool &dropped)
{
    const uno::Reference<uno::XComponentContext> local = localContext();
    if (!local.is())
        return nullptr;
    std::shared_ptr<CalcConnection> connection(new CalcConnection);
    try {
        connection->remoteContext.set(
            bridge::UnoUrlResolver::create(local)->resolve(
                toOUString("uno:pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext")),
            uno::UNO_QUERY_THROW);
        connection->desktopObject = frame::Desktop::create(connection->remoteContext);
    } catch (const css::connection::NoConnectException &) {
        return nullptr;
    } catch (const lang::DisposedException &) {
        dropped = true;
        return nullptr;
    } catch (const uno::Exception &e) {
        qDebug() << "Cannot reach the office:" << toQString(e.Message);
        return nullptr;
    }
    connection->serial = nextSerial();
    return connection;
}

std::shared_ptr<CalcConnection> CalcConnection::unbound()
{
    return std::shared_ptr<CalcConnection>(new CalcConnection);
}

bool CalcConnection::answers()
{
    return guard(
        "check connection",
        [this]() {
            desktopObject->getCurrentFrame();
            return true;
        },
        false);
}

bool CalcConnection::isAlive() const
{
    return desktopObject.is() && !gone;
}

bool CalcConnection::desktopAnswers() const
{
    try {
        desktopObject->getCurrentFrame();
        return true;
    } catch (const uno::Exception &) {
        return false;
    }
}

// Disposed objects and a dead bridge raise the same exception; only the desktop tells them apart.
void CalcConnection::noteDisposed(const char *operation, const OUString &message)
{
    if (desktopAnswers()) {
        noteFailure(operation, message);
        return;
    }
    gone = true;
    qDebug() << "Office connection lost in" << operation << toQString(message);
}

void CalcConnection::noteFailure(const char *operation, const OUString &message)
{
    qDebug() << "Office call failed:" << operation << toQString(message);
}
