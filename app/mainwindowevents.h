#ifndef MAINWINDOWEVENTS_H
#define MAINWINDOWEVENTS_H

class MainWindow;
class QEvent;
class QKeyEvent;
class QObject;
class QTimer;
class SliderWatchRegistry;
class WatchWindowCommands;

// What the main window's application-wide event filter does: the application's activation
// drives the front-most timer and brings the sliders up to their cells, minimising carries the
// watch window along, and key presses for the main or the watch window go through the key table.
class MainWindowEvents
{
public:
    MainWindowEvents(MainWindow &window, SliderWatchRegistry &registry,
                     WatchWindowCommands &watchWindows, QTimer &frontMostTimer);

    // True when the event is consumed.
    bool filter(QObject *watched, QEvent *event);
    // Sets every slider to its cell's value without writing anything back: the user may have
    // typed into the cells while another application was in front.
    void refreshSlidersFromExcel();

private:
    bool isScanning() const;
    bool handleKeyPress(QObject *watched, const QKeyEvent &event);
    void sliderKey(int index, bool withAlt);

    MainWindow &m_window;
    SliderWatchRegistry &m_registry;
    WatchWindowCommands &m_watchWindows;
    QTimer &m_frontMostTimer;
};

#endif
