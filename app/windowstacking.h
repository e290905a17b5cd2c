#ifndef WINDOWSTACKING_H
#define WINDOWSTACKING_H

class QWidget;

// Puts a top-level window into or out of the window manager's "above" layer. A window that is
// shown keeps its native window: the change travels as a state request to the window manager
// (_NET_WM_STATE_ABOVE on X11). Changing the widget's flags instead re-creates and maps the
// window again, and the window manager hands a newly mapped window the keyboard focus, taking
// it from the application the user types in. Returns whether the state changed.
bool setStaysOnTop(QWidget &window, bool onTop);
// Makes a form of the program a dialog for the window manager: one with a parent window belongs
// to it, one without belongs to the whole program, and the window manager keeps it above the
// windows it belongs to, in their layer, even while they stay on top of another application.
void stackAsDialog(QWidget &form);

#endif
