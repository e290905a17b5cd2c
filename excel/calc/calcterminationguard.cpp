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

// Never destroyed: a bracket may be forgotten by a connection that dies after static objects.
QHash<CalcWriteBracket *, CalcConnection *> &openBrackets()
{
    static auto *brackets = new QHash<CalcWriteBracket *, CalcConnection *>;
    return *brackets;
}

void noteSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = savedErrno;
}

void abandonOpenBrackets()
{
    const QHash<CalcWriteBracket *, CalcConnection *> brackets = openBrackets();
    for (auto it = brackets.cbegin(); it != brackets.cend(); ++it)
        it.key()->abandon(*it.value());
}

// Runs on the event loop's thread: lets the signal do what it would have done without us. A
// program with a handler of its own ends in order on it, and the brackets close as they always
// do, undo history and modified flag included; one the signal would end at once gets its cells
// back first. Writes after an abandoned bracket would reach the undo history, so a bracket is
// abandoned only when the program ends right after.
void stopForSignal(int signal)
{
    bool programHandlesIt = false;
    for (std::size_t index = 0; index < std::size(stopSignals); ++index) {
        if (stopSignals[index] != signal)
            continue;
        programHandlesIt = previousActions[index].sa_handler != SIG_DFL;
        sigaction(signal, &previousActions[index], nullptr);
    }
    if (!programHandlesIt) {
        if (!openBrackets().isEmpty())
            qCWarning(lcLink) << "Stopping on signal" << signal << "; putting written cells back";
        abandonOpenBrackets();
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
    // Post routines run in the reverse order of their adding: this one before the office's
    // bridges are ended, so a program that quits in the middle of a scan still puts cells back.
    qAddPostRoutine(abandonOpenBrackets);
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
