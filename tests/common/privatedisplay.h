#ifndef PRIVATEDISPLAY_H
#define PRIVATEDISPLAY_H

#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

typedef struct xcb_connection_t xcb_connection_t;

// An X server of the test's own on a display number the server picks itself, so parallel runs
// never collide, with a window manager that publishes the active window and, as on a user's
// desktop, hands newly mapped windows the focus. Besides the program
// under test it is a client of its own, which finds, activates and makes windows as a user or
// another application would.
class PrivateDisplay
{
public:
    PrivateDisplay();
    ~PrivateDisplay();

    // Starts the server; the name is then ready for DISPLAY.
    bool start();
    QString name() const { return displayName; }
    bool startWindowManager();
    void stopWindowManager();

    // The top-level window whose title ends with suffix; 0 when there is none.
    quint32 findWindow(const QString &titleSuffix) const;
    // Asks the window manager to activate the window, as a click on it would.
    void activate(quint32 window) const;
    quint32 activeWindow() const;
    QString title(quint32 window) const;
    // A window of another application, with a title, optionally the process it names and the
    // window it is a dialog of.
    quint32 createWindow(const QString &title, qint64 processId = 0,
                         quint32 transientFor = 0) const;
    // Asks the window manager to close the window, as its title bar's close button does.
    void close(quint32 window) const;
    // Whether the window manager keeps the window in its "above" layer.
    bool isAbove(quint32 window) const;
    // Whether the first window is stacked above the second, as the window manager says.
    bool isStackedAbove(quint32 upper, quint32 lower) const;

private:
    quint32 atom(const char *name) const;
    quint32 windowProperty(quint32 window, const char *name) const;
    QList<quint32> windowList(quint32 window, const char *name, quint32 type) const;

    QProcess server;
    QProcess windowManager;
    QTemporaryDir configHome;
    QString displayName;
    xcb_connection_t *connection = nullptr;
    quint32 root = 0;
};

#endif
