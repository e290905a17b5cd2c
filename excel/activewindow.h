#ifndef ACTIVEWINDOW_H
#define ACTIVEWINDOW_H

#include <QString>

// What the window system says about the window the user works in. On X11 the window manager
// publishes it on the root window; without one (or away from X11) nobody knows, and callers
// must then assume that nothing of interest is in front.
struct ActiveWindow
{
    enum class Source {
        WindowManager,   // a window manager publishes the active window
        NoWindowManager, // X11, but no window manager publishes it
        NoX11,           // another window system (Wayland, off screen)
    };

    Source source = Source::NoX11;
    // The active client window; 0 when the window manager says none is active.
    quint32 window = 0;
    // The process the window says it belongs to; 0 when it does not say.
    qint64 processId = 0;
    QString title;
    // For a dialog: the title of the window it belongs to (WM_TRANSIENT_FOR, followed through
    // dialogs opened from dialogs); empty for a window that belongs to none.
    QString ownerTitle;
};

// Reads the active window through the program's own connection to the X server: the root
// window's _NET_SUPPORTING_WM_CHECK and _NET_ACTIVE_WINDOW, then that window's _NET_WM_NAME
// (or WM_NAME) and _NET_WM_PID, in two round trips, and for a dialog the title of the window it
// belongs to. It starts no process and waits only for the X server the program draws through.
ActiveWindow currentActiveWindow();

#endif
