#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernel.h"
#include "excel/calc/calcrecalculation.h"
#include "excel/calc/calcwritebracket.h"
#include "excel/calc/officepipe.h"
#include "excel/excellogging.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

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
                qCWarning(lcLink) << "Cannot start the office bridge:" << toQString(e.getMessage());
            } catch (const uno::Exception &e) {
                qCWarning(lcLink) << "Cannot start the office bridge:" << toQString(e.Message);
            }
            return uno::Reference<uno::XComponentContext>();
        }());
    return context;
}

const int openAttempts = 5;
const int openRetryMs = 200;

// Every bridge still open, so that all can be ended before the process exits. Never destroyed:
// it is used while static objects die.
std::vector<uno::Reference<lang::XComponent>> &openBridges()
{
    static auto *bridges = new std::vector<uno::Reference<lang::XComponent>>;
    return *bridges;
}

void disposeBridge(const uno::Reference<lang::XComponent> &bridge)
{
    try {
        bridge->dispose();
    } catch (const uno::Exception &) {
        // Already ended with the office.
    }
}

// The office answers a released listener or object at its own pace, in the bridge's reader
// thread; a reply that arrives while the exit handlers tear the runtime down crashes the
// process. Disposing joins the bridge's threads, so nothing arrives after this.
void disposeOpenBridges()
{
    std::vector<uno::Reference<lang::XComponent>> bridges;
    bridges.swap(openBridges());
    for (const uno::Reference<lang::XComponent> &bridge : bridges)
        disposeBridge(bridge);
}

void registerBridge(const uno::Reference<lang::XComponent> &bridge)
{
    static const bool registered = []() {
        if (QCoreApplication::instance())
            qAddPostRoutine(disposeOpenBridges);
        else
            std::atexit(disposeOpenBridges);
        return true;
    }();
    Q_UNUSED(registered);
    openBridges().push_back(bridge);
}

void forgetBridge(const uno::Reference<lang::XComponent> &bridge)
{
    std::vector<uno::Reference<lang::XComponent>> &bridges = openBridges();
    bridges.erase(std::remove(bridges.begin(), bridges.end(), bridge), bridges.end());
}

// Ends the bridge when the handshake has not finished by the deadline; the waiting call then
// fails instead of hanging on a process that took the connection but never answers.
class HandshakeDeadline
{
public:
    HandshakeDeadline(const uno::Reference<lang::XComponent> &bridge,
                      std::chrono::milliseconds deadline)
        : watcher([this, bridge, deadline]() {
              std::unique_lock<std::mutex> lock(mutex);
              if (finished.wait_for(lock, deadline, [this]() { return done; }))
                  return;
              expired = true;
              lock.unlock();
              disposeBridge(bridge);
          })
    {}
    ~HandshakeDeadline()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        finished.notify_all();
        watcher.join();
    }
    HandshakeDeadline(const HandshakeDeadline &) = delete;
    HandshakeDeadline &operator=(const HandshakeDeadline &) = delete;

    bool hasExpired()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return expired;
    }

private:
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool expired = false;
    std::thread watcher;
};

// Why the latest attempt to open a connection was refused; kept for the user to read.
QString &latestRefusal()
{
    static QString text;
    return text;
}

// A refusal is written once, not at every retry of an office start.
void noteRefusal(const QString &text)
{
    latestRefusal() = text;
    static QString noted;
    if (text == noted)
        return;
    noted = text;
    qCWarning(lcLink).noquote() << text;
}

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

CalcConnection::~CalcConnection()
{
    if (!bridge.is())
        return;
    forgetBridge(bridge);
    disposeBridge(bridge);
}

// An office that is still starting may accept a connection and drop it again; such a
// connection is tried again a few times.
std::shared_ptr<CalcConnection> CalcConnection::open(const QString &pipeName, Failure *failure,
                                                     std::chrono::milliseconds deadline)
{
    for (int attempt = 1;; ++attempt) {
        bool dropped = false;
        Failure reason = Failure::None;
        std::shared_ptr<CalcConnection> connection = tryOpen(pipeName, deadline, reason, dropped);
        if (connection || !dropped || attempt == openAttempts) {
            if (failure)
                *failure = reason;
            return connection;
        }
        QThread::msleep(openRetryMs);
    }
}

QString CalcConnection::lastRefusal()
{
    return latestRefusal();
}

std::shared_ptr<CalcConnection> CalcConnection::tryOpen(const QString &pipeName,
                                                        std::chrono::milliseconds deadline,
                                                        Failure &failure, bool &dropped)
{
    failure = Failure::NoOffice;
    latestRefusal().clear();
    const QString path = OfficePipe::socketPath(pipeName, getuid());
    const OfficePipe::Verdict verdict = OfficePipe::check(path, getuid());
    if (verdict == OfficePipe::Verdict::Missing)
        return nullptr;
    if (verdict != OfficePipe::Verdict::Usable) {
        failure = verdict == OfficePipe::Verdict::NoAnswer ? Failure::NoAnswer : Failure::Refused;
        noteRefusal(OfficePipe::refusal(verdict, path));
        return nullptr;
    }
    std::shared_ptr<CalcConnection> connection(new CalcConnection);
    try {
        if (!connection->handshake(pipeName, deadline)) {
            failure = Failure::NoAnswer;
            qCWarning(lcLink).noquote()
                << QString("The office on pipe %1 did not answer within %2 s; giving up.")
                       .arg(pipeName)
                       .arg(double(deadline.count()) / 1000.0);
            return nullptr;
        }
    } catch (const css::connection::NoConnectException &) {
        return nullptr;
    } catch (const lang::DisposedException &) {
        dropped = true;
        return nullptr;
    } catch (const uno::Exception &e) {
        qCWarning(lcLink) << "Cannot reach the office:" << toQString(e.Message);
        return nullptr;
    }
    failure = Failure::None;
    connection->serial = nextSerial();
    return connection;
}

// The bridge is made here rather than through a URL resolver, so that the connection owns it
// and can end it. False when the deadline ended the handshake.
bool CalcConnection::handshake(const QString &pipeName, std::chrono::milliseconds deadline)
{
    const uno::Reference<uno::XComponentContext> local = localContext();
    if (!local.is())
        throw uno::RuntimeException("no office runtime");
    const uno::Reference<css::connection::XConnection> link =
        css::connection::Connector::create(local)->connect(toOUString("pipe,name=" + pipeName));
    const uno::Reference<bridge::XBridge> urp =
        bridge::BridgeFactory::create(local)->createBridge("", "urp", link, nullptr);
    bridge.set(urp, uno::UNO_QUERY_THROW);
    registerBridge(bridge);
    HandshakeDeadline watch(bridge, deadline);
    try {
        remoteContext.set(urp->getInstance("StarOffice.ComponentContext"), uno::UNO_QUERY_THROW);
        desktopObject = frame::Desktop::create(remoteContext);
    } catch (const uno::Exception &) {
        if (watch.hasExpired())
            return false;
        throw;
    }
    return !watch.hasExpired();
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
    qCWarning(lcLink) << "Office connection lost in" << operation << toQString(message);
}

void CalcConnection::noteFailure(const char *operation, const OUString &message)
{
    qCWarning(lcLink) << "Office call failed:" << operation << toQString(message);
}
