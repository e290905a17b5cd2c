#ifndef OFFICEPIPE_H
#define OFFICEPIPE_H

#include <QString>

// The local socket behind an office's named pipe, and whether it is safe to speak to. A pipe is
// only as private as its socket: anyone who may write to it can drive the office (and the
// user's workbooks) through it, and anyone can make a socket of that name before the office
// does. So the link speaks only to a socket that the user owns, that nobody else may write, and
// whose listening process runs as the user.
namespace OfficePipe {

enum class Verdict {
    Usable,
    Missing,      // no socket, or nobody listens on it
    NotASocket,   // something else has the socket's name
    ForeignOwner, // the socket belongs to another user
    OpenToOthers, // other users may write to the socket
    ForeignPeer,  // the process listening on it runs as another user
    NoAnswer,     // the listener takes no connection
};

// Where the office's runtime puts the socket of the named pipe for the user.
QString socketPath(const QString &pipeName, uint userId);
Verdict check(const QString &path, uint userId);
// What to tell the user about a verdict other than Usable or Missing, with the way out.
QString refusal(Verdict verdict, const QString &path);

} // namespace OfficePipe

#endif
