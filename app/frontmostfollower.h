#ifndef FRONTMOSTFOLLOWER_H
#define FRONTMOSTFOLLOWER_H

class QTimer;
class QWidget;
class WatchWindowCommands;

// Keeps the main and the watch window on top while a document window of the spreadsheet is in
// front, under the spreadsheet's dialogs, and lets them go when another application comes
// forward. The main window's timer polls only while the spreadsheet is in front; one of our own
// windows in front ends the polling. The windows are never shown again nor activated by it.
class FrontMostFollower
{
public:
    FrontMostFollower(QWidget &mainWindow, WatchWindowCommands &watchWindows, QTimer &timer);

    void check();

private:
    QWidget &m_mainWindow;
    WatchWindowCommands &m_watchWindows;
    QTimer &m_timer;
};

#endif
