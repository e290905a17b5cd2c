#include "excel/calc/calcconnection.h"
#include "excel/calc/officepipe.h"
#include "excel/excelbackend.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QUuid>
#include <chrono>
#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

// The link speaks only to a pipe that is the user's alone, and gives up on one that takes the
// connection but never answers. The sockets here are the test's own, standing in for a squatter
// or an office started with a careless umask.
class TestOfficePipe : public QObject
{
    Q_OBJECT

private slots:
    void refusedPipes_data();
    void refusedPipes();
    void silentListenerIsGivenUp();
};

namespace {

enum class Squatter { File, OpenToOthers, OtherOwner, OtherPeer };

QString newPipeName()
{
    return "marlowin_pipe_" + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

int listenAt(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0)
        return -1;
    return fd;
}

const uid_t nobody = 65534;

// A socket whose file is the user's but whose listener runs as somebody else: bound first, then
// the listening process gives up its rights. Only root can make one. Returns once the child
// listens, or 0 when it could not.
pid_t listenAsSomebodyElse(const QString &path)
{
    const int fd = listenAt(path);
    int ready[2];
    if (fd < 0 || ::pipe(ready) != 0)
        return 0;
    const pid_t child = fork();
    if (child == 0) {
        ::close(ready[0]);
        const char listening = setuid(nobody) == 0 && ::listen(fd, 8) == 0 ? 1 : 0;
        if (::write(ready[1], &listening, 1) != 1 || !listening)
            _exit(1);
        pause();
        _exit(0);
    }
    ::close(fd);
    ::close(ready[1]);
    char listening = 0;
    const bool answered = ::read(ready[0], &listening, 1) == 1;
    ::close(ready[0]);
    if (!answered || !listening) {
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return 0;
    }
    return child;
}

// Short enough that the test does not wait out the link's own deadline.
constexpr std::chrono::milliseconds testDeadline(300);

} // namespace

void TestOfficePipe::refusedPipes_data()
{
    QTest::addColumn<Squatter>("squatter");
    QTest::addColumn<OfficePipe::Verdict>("verdict");
    QTest::addColumn<QString>("advice");

    QTest::newRow("a plain file") << Squatter::File << OfficePipe::Verdict::NotASocket
                                  << "does not belong to you";
    QTest::newRow("writable by others")
        << Squatter::OpenToOthers << OfficePipe::Verdict::OpenToOthers << "umask 022 or stricter";
    QTest::newRow("another user's socket")
        << Squatter::OtherOwner << OfficePipe::Verdict::ForeignOwner << "does not belong to you";
    QTest::newRow("another user listens")
        << Squatter::OtherPeer << OfficePipe::Verdict::ForeignPeer << "does not belong to you";
}

void TestOfficePipe::refusedPipes()
{
    QFETCH(Squatter, squatter);
    QFETCH(OfficePipe::Verdict, verdict);
    QFETCH(QString, advice);

    const bool root = getuid() == 0;
    if ((squatter == Squatter::OtherOwner || squatter == Squatter::OtherPeer) && !root)
        QSKIP("Only root can make a socket of another user");
    const QString pipe = newPipeName();
    const QString path = OfficePipe::socketPath(pipe, getuid());
    int fd = -1;
    pid_t listener = 0;
    switch (squatter) {
    case Squatter::File: {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        break;
    }
    case Squatter::OpenToOthers:
        fd = listenAt(path);
        QVERIFY(fd >= 0 && ::listen(fd, 8) == 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0777), 0);
        break;
    case Squatter::OtherOwner:
        fd = listenAt(path);
        QVERIFY(fd >= 0 && ::listen(fd, 8) == 0);
        QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody, nobody), 0);
        break;
    case Squatter::OtherPeer:
        listener = listenAsSomebodyElse(path);
        QVERIFY(listener > 0);
        break;
    }

    QCOMPARE(OfficePipe::check(path, getuid()), verdict);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(advice)));
    CalcConnection::Failure failure = CalcConnection::Failure::None;
    QVERIFY(!CalcConnection::open(pipe, &failure));
    QCOMPARE(failure, CalcConnection::Failure::Refused);
    // What the user is shown, rather than that the office is not open.
    QVERIFY(ExcelBackend::refusal().contains(advice));

    if (fd >= 0)
        ::close(fd);
    if (listener > 0) {
        ::kill(listener, SIGKILL);
        waitpid(listener, nullptr, 0);
    }
    QFile::remove(path);
}

// A listener of the user's own that takes the connection and never answers, as a stopped
// office would: opening gives up after its deadline instead of hanging.
void TestOfficePipe::silentListenerIsGivenUp()
{
    const QString pipe = newPipeName();
    const QString path = OfficePipe::socketPath(pipe, getuid());
    const int fd = listenAt(path);
    QVERIFY(fd >= 0 && ::listen(fd, 8) == 0);
    QCOMPARE(OfficePipe::check(path, getuid()), OfficePipe::Verdict::Usable);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("did not answer within"));
    QElapsedTimer elapsed;
    elapsed.start();
    CalcConnection::Failure failure = CalcConnection::Failure::None;
    QVERIFY(!CalcConnection::open(pipe, &failure, testDeadline));
    QCOMPARE(failure, CalcConnection::Failure::NoAnswer);
    // The test's deadline applied, not the link's own of several seconds.
    QVERIFY2(elapsed.elapsed() < 4000, qPrintable(QString::number(elapsed.elapsed())));
    ::close(fd);
    QFile::remove(path);
}

QTEST_MAIN(TestOfficePipe)
#include "tst_officepipe.moc"
