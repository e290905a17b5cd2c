#include "excel/calc/calcconnection.h"
#include "excel/calc/calcwritebracket.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>

namespace {

using namespace css;

const char bootstrapVariable[] = "URE_BOOTSTRAP";
const char bootstrapFile[] = "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc";

// Kept for the life of the process and never released, for the same reason as the connection.
uno::Reference<uno::XComponentContext> localContext()
{
    static const uno::Reference<uno::XComponentContext> &context = *new uno::Reference<
        uno::XComponentContext>([]() {
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

qint64 nextSerial()
{
    static qint64 serial = 0;
    return ++serial;
}

} // namespace

CalcConnection::CalcConnection() : bracket(std::make_unique<CalcWriteBracket>())
{
}

CalcConnection::~CalcConnection()
{
    if (isAlive()) {
        try {
            bridge->dispose();
        } catch (const uno::Exception &) {
            // The office went away at the same moment; nothing is left to close.
        }
    }
}

std::shared_ptr<CalcConnection> CalcConnection::open(const QString &pipeName)
{
    const uno::Reference<uno::XComponentContext> local = localContext();
    if (!local.is())
        return nullptr;
    std::shared_ptr<CalcConnection> connection(new CalcConnection);
    try {
        const uno::Reference<css::connection::XConnection> pipe =
            css::connection::Connector::create(local)->connect(
                toOUString("pipe,name=" + pipeName));
        const uno::Reference<bridge::XBridge> urp =
            bridge::BridgeFactory::create(local)->createBridge(OUString(), "urp", pipe, nullptr);
        connection->bridge.set(urp, uno::UNO_QUERY_THROW);
        connection->remoteContext.set(urp->getInstance("StarOffice.ComponentContext"),
                                      uno::UNO_QUERY_THROW);
        connection->desktopObject = frame::Desktop::create(connection->remoteContext);
    } catch (const css::connection::NoConnectException &) {
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

void CalcConnection::noteGone(const char *operation, const OUString &message)
{
    gone = true;
    qDebug() << "Office connection lost in" << operation << toQString(message);
}

void CalcConnection::noteFailure(const char *operation, const OUString &message)
{
    qDebug() << "Office call failed:" << operation << toQString(message);
}
