#ifndef OFFICELAUNCH_H
#define OFFICELAUNCH_H

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Starting an office process. The office makes its pipe's socket with the umask it starts with,
// so every start takes away the write bits that would let other users drive the office through
// it; the user's own umask is kept otherwise, since the office also saves workbooks with it.
namespace OfficeLaunch {

// The office program on the path, or where the office package puts it.
QString program();
// The argument that makes the office listen on the named pipe.
QString acceptArgument(const QString &pipeName);
// The arguments of an office without a window or a first document, on the given profile (a
// file URL) and listening on the pipe.
QStringList headlessArguments(const QString &profileUrl, const QString &pipeName);
// Makes a new, empty profile folder (a local path) known to this office's version, so that the
// office's first start on it skips the self-tests it runs whenever a profile meets a version it
// has not seen: they take seconds and draw nothing a headless office shows. A folder that holds a
// profile already is left alone; a folder that cannot be written fails the office's own start.
void prepareProfile(const QString &profileFolder);
enum class Output {
    Shared,    // the office writes to this process's standard output and error
    Discarded, // nobody reads what it writes (an office that works for a command-line tool)
};

// Starts the office detached from this process; an empty environment keeps this process's.
bool start(const QStringList &arguments,
           const QProcessEnvironment &environment = QProcessEnvironment(),
           Output output = Output::Shared);

} // namespace OfficeLaunch

#endif
