#include "excel/calc/officepipe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The office's runtime keeps its pipes in the first of these folders it may write to.
const char *const pipeFolders[] = {"/tmp", "/var/tmp"};

// Connects without waiting: a listener whose queue is full does not take us either.
OfficePipe::Verdict askPeer(const QByteArray &path, uint userId)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof(address.sun_path))
        return OfficePipe::Verdict::Missing;
    qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return OfficePipe::Verdict::Missing;
    OfficePipe::Verdict verdict = OfficePipe::Verdict::Usable;
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
        verdict = errno == EAGAIN ? OfficePipe::Verdict::NoAnswer : OfficePipe::Verdict::Missing;
    } else {
        ucred peer{};
        socklen_t length = sizeof(peer);
        if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != userId)
            verdict = OfficePipe::Verdict::ForeignPeer;
    }
    ::close(socket);
    return verdict;
}

} // namespace

QString OfficePipe::socketPath(const QString &pipeName, uint userId)
{
    const QString name = QString("OSL_PIPE_%1_%2").arg(userId).arg(pipeName);
    for (const char *folder : pipeFolders) {
        if (QFileInfo(folder).isWritable())
            return QDir(folder).filePath(name);
    }
    return QDir(pipeFolders[0]).filePath(name);
}

OfficePipe::Verdict OfficePipe::check(const QString &path, uint userId)
{
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat status
    {
    };
    if (::lstat(nativePath.constData(), &status) != 0)
        return Verdict::Missing;
    if (!S_ISSOCK(status.st_mode))
        return Verdict::NotASocket;
    if (status.st_uid != userId)
        return Verdict::ForeignOwner;
    if (status.st_mode & (S_IWGRP | S_IWOTH))
        return Verdict::OpenToOthers;
    return askPeer(nativePath, userId);
}

QString OfficePipe::refusal(Verdict verdict, const QString &path)
{
    switch (verdict) {
    case Verdict::NotASocket:
    case Verdict::ForeignOwner:
    case Verdict::ForeignPeer:
        return QString("The office pipe %1 does not belong to you; not using it. Remove it, or "
                       "have the office use another pipe name.")
            .arg(path);
    case Verdict::OpenToOthers:
        return QString("The office pipe %1 can be written by other users; not using it. Quit the "
                       "office and start it again with a umask that keeps others from writing "
                       "(umask 022 or stricter; scripts/run.sh sees to it).")
            .arg(path);
    case Verdict::NoAnswer:
        return QString("The office pipe %1 takes no connection.").arg(path);
    case Verdict::Usable:
    case Verdict::Missing:
        break;
    }
    return QString();
}
