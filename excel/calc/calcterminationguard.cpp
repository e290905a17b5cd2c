#include "excel/calc/calcterminationguard.h"
#include "excel/calc/calcwritebracket.h"
#include "excel/excellogging.h"

#include <QCoreApplication>
#include <QHash>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const int stopSignals[] = {SIGTERM, SIGINT, SIGHUP};

int signalPipe[2] = {-1, -1};
struct sigaction previousActions[std::size(stopSignals)];

QHash<CalcWriteBracket *, CalcConnection *> &openBrackets()
{
    static QHash<CalcWriteBracket *, CalcConnection *> brackets;
    return brackets;
}

void noteSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = savedErrno;
}

// Runs on the event loop's thread: ends what is open, then lets the signal do what it would
// have done without us.
void stopForSignal(int signal)
{
    const QHash<CalcWriteBracket *, CalcConnection *> brackets = openBrackets();
    if (!brackets.isEmpty())
        qCWarning(lcLink) << "Stopping on signal" << signal << "; putting written cells back";
    for (auto it = brackets.cbegin(); it != brackets.cend(); ++it)
        it.key()->abandon(*it.value());
    for (std::size_t index = 0; index < std::size(stopSignals); ++index) {
        if (stopSignals[index] == signal)
            sigaction(signal, &previousActions[index], nullptr);
    }
    ::raise(signal);
}

void install()
{
    static bool installed = false;
    if (installed || !QCoreApplication::instance())
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        qCWarning(lcLink) << "Cannot watch for stop signals";
        return;
    }
    installed = true;
    auto *notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, []() {
        unsigned char number = 0;
        if (::read(signalPipe[0], &number, 1) == 1)
            stopForSignal(number);
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t index = 0; index < std::size(stopSignals); ++index) {
        sigaction(stopSignals[index], &action, &previousActions[index]);
        // A signal the program was started to ignore (nohup) stays ignored.
        if (previousActions[index].sa_handler == SIG_IGN)
            sigaction(stopSignals[index], &previousActions[index], nullptr);
    }
}

} // namespace

void CalcTerminationGuard::watch(CalcWriteBracket *bracket, CalcConnection *connection)
{
    install();
    openBrackets().insert(bracket, connection);
}

void CalcTerminationGuard::forget(CalcWriteBracket *bracket)
{
    openBrackets().remove(bracket);
}
