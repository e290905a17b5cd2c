#include "app/terminationsignals.h"
#include "app/applogging.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write to a descriptor; the event loop reads the other end.
int signalPipe[2] = {-1, -1};

extern "C" void writeSignalNumber(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    const int savedErrno = errno;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (signalPipe[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        qCWarning(lcApp) << "cannot watch for termination signals:" << strerror(errno);
        return;
    }
    notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < std::size(handled); ++i) {
        sigaction(handled[i], &action, &previous[i]);
        // A signal the program was started to ignore (nohup) stays ignored.
        if (previous[i].sa_handler == SIG_IGN)
            sigaction(handled[i], &previous[i], nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier)
        return;
    for (size_t i = 0; i < std::size(handled); ++i)
        sigaction(handled[i], &previous[i], nullptr);
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(signalPipe[1], &byte, 1) != 1)
        return;
    qCInfo(lcApp) << "ending on signal" << int(byte);
    emit received(int(byte));
}
