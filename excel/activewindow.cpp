#include "excel/activewindow.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <array>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

// Longest title read, in bytes; office titles end with the application's name, so a title is
// only useful when read whole.
const uint32_t titleBytes = 1024;
// A dialog opened from a dialog belongs to a document window two steps up; deeper chains (or a
// loop of windows naming each other) end here.
const int ownerSteps = 4;

enum AtomName { SupportingCheck, Active, WindowName, WindowPid, Utf8String, AtomCount };
const std::array<const char *, AtomCount> atomNames{
    "_NET_SUPPORTING_WM_CHECK", "_NET_ACTIVE_WINDOW", "_NET_WM_NAME", "_NET_WM_PID", "UTF8_STRING"};
using Atoms = std::array<xcb_atom_t, AtomCount>;

// Atom numbers never change while a connection lives, so they are asked for once.
const Atoms &atomsOf(xcb_connection_t *connection)
{
    static xcb_connection_t *known = nullptr;
    static Atoms atoms{};
    if (known == connection)
        return atoms;
    std::array<xcb_intern_atom_cookie_t, AtomCount> cookies;
    for (int i = 0; i < AtomCount; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(qstrlen(atomNames[i])), atomNames[i]);
    for (int i = 0; i < AtomCount; ++i) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    known = connection;
    return atoms;
}

// One property reply; absent when the window is gone or does not carry the property.
class Property
{
public:
    Property(xcb_connection_t *connection, xcb_get_property_cookie_t cookie)
    {
        xcb_generic_error_t *error = nullptr;
        reply = xcb_get_property_reply(connection, cookie, &error);
        std::free(error);
    }
    ~Property() { std::free(reply); }
    Property(const Property &) = delete;
    Property &operator=(const Property &) = delete;

    bool exists() const { return reply && reply->type != XCB_ATOM_NONE; }
    xcb_atom_t type() const { return reply ? reply->type : xcb_atom_t(XCB_ATOM_NONE); }
    uint32_t number() const
    {
        if (!exists() || reply->format != 32 || xcb_get_property_value_length(reply) < 4)
            return 0;
        return *static_cast<const uint32_t *>(xcb_get_property_value(reply));
    }
    QByteArray bytes() const
    {
        if (!exists() || reply->format != 8)
            return QByteArray();
        return QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                          xcb_get_property_value_length(reply));
    }

private:
    xcb_get_property_reply_t *reply = nullptr;
};

xcb_get_property_cookie_t ask(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                              xcb_atom_t type, uint32_t words = 1)
{
    return xcb_get_property(connection, 0, window, name, type, 0, words);
}

QString titleOf(const Property &netName, const Property &legacyName, xcb_atom_t utf8)
{
    if (netName.exists())
        return QString::fromUtf8(netName.bytes());
    return legacyName.type() == utf8 ? QString::fromUtf8(legacyName.bytes())
                                     : QString::fromLatin1(legacyName.bytes());
}

xcb_window_t transientFor(xcb_connection_t *connection, xcb_window_t window)
{
    return Property(connection, ask(connection, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW))
        .number();
}

QString windowTitle(xcb_connection_t *connection, xcb_window_t window)
{
    const Atoms &atoms = atomsOf(connection);
    const xcb_get_property_cookie_t nameCookie =
        ask(connection, window, atoms[WindowName], atoms[Utf8String], titleBytes / 4);
    const xcb_get_property_cookie_t legacyCookie =
        ask(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, titleBytes / 4);
    const Property name(connection, nameCookie);
    const Property legacyName(connection, legacyCookie);
    return titleOf(name, legacyName, atoms[Utf8String]);
}

// The title of the top-most window the dialog belongs to; a window that belongs to none (or
// only to its application's invisible leader window, which has no title) gives an empty text.
QString ownerTitleOf(xcb_connection_t *connection, xcb_window_t window, xcb_window_t owner)
{
    QString title;
    for (int step = 0; step < ownerSteps && owner && owner != window; ++step) {
        title = windowTitle(connection, owner);
        window = owner;
        owner = transientFor(connection, window);
    }
    return title;
}

ActiveWindow read(xcb_connection_t *connection, xcb_window_t root)
{
    const Atoms &atoms = atomsOf(connection);
    ActiveWindow active;
    active.source = ActiveWindow::Source::NoWindowManager;

    const xcb_get_property_cookie_t checkCookie =
        ask(connection, root, atoms[SupportingCheck], XCB_ATOM_WINDOW);
    const xcb_get_property_cookie_t activeCookie =
        ask(connection, root, atoms[Active], XCB_ATOM_WINDOW);
    const Property check(connection, checkCookie);
    const Property activeWindow(connection, activeCookie);
    const xcb_window_t checkWindow = check.number();
    if (!checkWindow || !activeWindow.exists())
        return active;

    // A window manager that ended leaves its properties on the root window; its check window,
    // which names itself, goes with it.
    const xcb_get_property_cookie_t aliveCookie =
        ask(connection, checkWindow, atoms[SupportingCheck], XCB_ATOM_WINDOW);
    const xcb_window_t window = activeWindow.number();
    if (!window) {
        const Property alive(connection, aliveCookie);
        if (alive.number() == checkWindow)
            active.source = ActiveWindow::Source::WindowManager;
        return active;
    }
    const xcb_get_property_cookie_t nameCookie =
        ask(connection, window, atoms[WindowName], atoms[Utf8String], titleBytes / 4);
    const xcb_get_property_cookie_t legacyCookie =
        ask(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, titleBytes / 4);
    const xcb_get_property_cookie_t pidCookie =
        ask(connection, window, atoms[WindowPid], XCB_ATOM_CARDINAL);
    const xcb_get_property_cookie_t ownerCookie =
        ask(connection, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
    const Property alive(connection, aliveCookie);
    const Property name(connection, nameCookie);
    const Property legacyName(connection, legacyCookie);
    const Property pid(connection, pidCookie);
    const Property owner(connection, ownerCookie);
    if (alive.number() != checkWindow)
        return active;
    active.source = ActiveWindow::Source::WindowManager;
    active.window = window;
    active.processId = pid.number();
    active.title = titleOf(name, legacyName, atoms[Utf8String]);
    if (owner.number())
        active.ownerTitle = ownerTitleOf(connection, window, owner.number());
    return active;
}

} // namespace

ActiveWindow currentActiveWindow()
{
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection || xcb_connection_has_error(connection))
        return ActiveWindow();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen ? read(connection, screen->root) : ActiveWindow();
}
