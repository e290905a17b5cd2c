#include "privatedisplay.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

const int startWaitMs = 20000;
const int managedWaitMs = 1000;
const int pollMs = 20;

} // namespace

PrivateDisplay::PrivateDisplay() = default;

PrivateDisplay::~PrivateDisplay()
{
    stopWindowManager();
    if (connection)
        xcb_disconnect(connection);
    // Ended politely, the server removes its lock file and socket.
    server.terminate();
    if (!server.waitForFinished())
        server.kill();
    server.waitForFinished();
}

// The server writes the display number it chose to the descriptor given with -displayfd.
bool PrivateDisplay::start()
{
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    if (!server.waitForStarted())
        return false;
    const QDeadlineTimer deadline(startWaitMs);
    while (!server.canReadLine() && !deadline.hasExpired())
        server.waitForReadyRead(pollMs);
    const QByteArray number = server.readLine().trimmed();
    if (number.isEmpty())
        return false;
    displayName = ":" + QString::fromLatin1(number);
    connection = xcb_connect(displayName.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection))
        return false;
    root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    return true;
}

// The user's own configuration of the window manager stays out of the tests: its defaults are
// those a new user has.
bool PrivateDisplay::startWindowManager()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", displayName);
    environment.insert("XDG_CONFIG_HOME", configHome.path());
    windowManager.setProcessEnvironment(environment);
    windowManager.start("openbox", {"--sm-disable"});
    if (!windowManager.waitForStarted())
        return false;
    // The window manager names itself before it manages windows: it is ready once a window
    // mapped now shows up among its clients. One mapped too early stays unmanaged, so the
    // question is asked with a new window each time.
    const QDeadlineTimer deadline(startWaitMs);
    while (!deadline.hasExpired()) {
        const QString title = "window manager ready?";
        const quint32 probe = createWindow(title);
        const QDeadlineTimer patience(managedWaitMs);
        while (!patience.hasExpired() && findWindow(title) != probe)
            QThread::msleep(pollMs);
        const bool managed = findWindow(title) == probe;
        xcb_destroy_window(connection, probe);
        xcb_flush(connection);
        if (managed)
            return true;
    }
    return false;
}

void PrivateDisplay::stopWindowManager()
{
    if (windowManager.state() == QProcess::NotRunning)
        return;
    windowManager.terminate();
    if (!windowManager.waitForFinished())
        windowManager.kill();
    windowManager.waitForFinished();
}

quint32 PrivateDisplay::atom(const char *name) const
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr);
    const quint32 result = reply ? reply->atom : 0;
    std::free(reply);
    return result;
}

quint32 PrivateDisplay::windowProperty(quint32 window, const char *name) const
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, atom(name), XCB_ATOM_ANY, 0, 1),
        nullptr);
    quint32 value = 0;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        value = *static_cast<const uint32_t *>(xcb_get_property_value(reply));
    std::free(reply);
    return value;
}

QString PrivateDisplay::title(quint32 window) const
{
    QString text;
    for (const quint32 name : {atom("_NET_WM_NAME"), quint32(XCB_ATOM_WM_NAME)}) {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, name, XCB_ATOM_ANY, 0, 256),
            nullptr);
        if (reply && reply->format == 8 && text.isEmpty())
            text = QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply)),
                                     xcb_get_property_value_length(reply));
        std::free(reply);
    }
    return text;
}

QList<quint32> PrivateDisplay::windowList(quint32 window, const char *name, quint32 type) const
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, atom(name), type, 0, 1024), nullptr);
    QList<quint32> list;
    if (reply && reply->format == 32) {
        const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply));
        list = QList<quint32>(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return list;
}

quint32 PrivateDisplay::findWindow(const QString &titleSuffix) const
{
    for (const quint32 window : windowList(root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW)) {
        if (title(window).endsWith(titleSuffix))
            return window;
    }
    return 0;
}

bool PrivateDisplay::isAbove(quint32 window) const
{
    return windowList(window, "_NET_WM_STATE", XCB_ATOM_ATOM).contains(atom("_NET_WM_STATE_ABOVE"));
}

// The window manager lists its clients bottom to top.
bool PrivateDisplay::isStackedAbove(quint32 upper, quint32 lower) const
{
    const QList<quint32> stacking = windowList(root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
    const qsizetype upperIndex = stacking.indexOf(upper);
    const qsizetype lowerIndex = stacking.indexOf(lower);
    return upperIndex >= 0 && lowerIndex >= 0 && upperIndex > lowerIndex;
}

void PrivateDisplay::close(quint32 window) const
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_CLOSE_WINDOW");
    message.data.data32[0] = XCB_CURRENT_TIME;
    message.data.data32[1] = 2;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

// Source indication 2 (a pager): window managers follow it without focus-stealing rules.
void PrivateDisplay::activate(quint32 window) const
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

quint32 PrivateDisplay::activeWindow() const
{
    return windowProperty(root, "_NET_ACTIVE_WINDOW");
}

quint32 PrivateDisplay::createWindow(const QString &title, qint64 processId,
                                     quint32 transientFor) const
{
    const xcb_window_t window = xcb_generate_id(connection);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t background = screen->white_pixel;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 100, 100, 300, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                      &background);
    const QByteArray text = title.toUtf8();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"),
                        atom("UTF8_STRING"), 8, uint32_t(text.size()), text.constData());
    if (processId) {
        const uint32_t pid = uint32_t(processId);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"),
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
    }
    if (transientFor) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &transientFor);
    }
    xcb_map_window(connection, window);
    xcb_flush(connection);
    return window;
}
