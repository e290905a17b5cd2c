#ifndef WATCHWINDOWCOMMANDS_H
#define WATCHWINDOWCOMMANDS_H

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <optional>

class MainWindow;
class SliderWatchRegistry;
class WatchWindow;

namespace Backgrounds {
class FormHandler;
}

// The current watch window of the main window: made on demand with the program's look, wired to
// the main window, dropped when its last watch is gone, shown only while there are watches,
// hidden with the minimised main window and kept on top with it.
class WatchWindowCommands : public QObject
{
    Q_OBJECT

public:
    WatchWindowCommands(MainWindow *mainWindow, SliderWatchRegistry *registry,
                        Backgrounds::FormHandler *formHandler);

    // Null while the window is being destroyed.
    WatchWindow *window() const;
    // Whether the object is the current window; safe to ask while anything is being destroyed.
    bool isWindow(const QObject *object) const;
    // Watches of the window before keep their graphs but leave scans and live updates. The new
    // window goes to the given place when it fits the screen there, else to its default one,
    // and then leaves the main window uncovered.
    void createWindow(std::optional<QPoint> position = std::nullopt);
    // Makes the window the current one and wires it to the main window.
    void adopt(WatchWindow *window);
    // Deletes the window once control is back in the event loop; the current window is
    // forgotten, an older one leaves the current one as it is.
    void drop(WatchWindow *window);
    void showForWatches(bool hasWatches);
    // Hides the window while the main window is minimised and brings it back with the main
    // window, unless the user had hidden it before.
    void followMinimizedState(bool minimized);
    // The watch window keeps its own window kind and only follows the main window's on-top
    // state.
    void followOnTop(bool onTop);

private:
    MainWindow *m_mainWindow;
    SliderWatchRegistry *m_registry;
    Backgrounds::FormHandler *m_formHandler;
    // Untyped, so that events during the window's destruction are told apart without a cast.
    QPointer<QObject> m_window;
};

#endif
