#include "watchwindowcommands.h"

#include "app/appstyles.h"
#include "app/mainwindow.h"
#include "app/sliderwatchregistry.h"
#include "app/windowstacking.h"
#include "watches/watchwindow.h"
#include "widgets/formhandler.h"

#include <QGuiApplication>
#include <QScreen>

WatchWindowCommands::WatchWindowCommands(MainWindow *mainWindow, SliderWatchRegistry *registry,
                                         Backgrounds::FormHandler *formHandler)
    : QObject(mainWindow), m_mainWindow(mainWindow), m_registry(registry),
      m_formHandler(formHandler)
{}

WatchWindow *WatchWindowCommands::window() const
{
    return qobject_cast<WatchWindow *>(m_window.data());
}

bool WatchWindowCommands::isWindow(const QObject *object) const
{
    return object && object == m_window.data();
}

void WatchWindowCommands::createWindow(std::optional<QPoint> position)
{
    m_registry->deactivateWatches();
    const QScreen *screen =
        m_mainWindow->screen() ? m_mainWindow->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    WatchWindow *window = AppStyles::createWatchWindow(available);
    // A place from an earlier run counts only where the whole window is on today's screen.
    if (position && available.contains(QRect(*position, window->size())))
        window->move(*position);
    adopt(window);
}

void WatchWindowCommands::adopt(WatchWindow *window)
{
    m_window = window;
    m_registry->setWatchWindow(window);
    m_formHandler->manage(window);
    connect(window, &WatchWindow::newWatchSize, m_mainWindow, &MainWindow::watchWindowNewWatchSize);
    connect(window, &WatchWindow::newWindowRequested, m_mainWindow, &MainWindow::newWatchWindow);
    connect(window, &WatchWindow::watchesEmptied, m_mainWindow,
            &MainWindow::watchWindowWatchesEmptied);
    m_mainWindow->watchWindowNewWatchSize(window->watchSize());
    window->installEventFilter(m_mainWindow);
    window->setNeighbour(m_mainWindow);
    window->checkPosition();
}

void WatchWindowCommands::drop(WatchWindow *window)
{
    if (!window)
        return;
    window->deleteLater();
    if (window == m_window)
        m_window = nullptr;
}

void WatchWindowCommands::showForWatches(bool hasWatches)
{
    if (WatchWindow *current = window())
        current->setVisible(hasWatches);
}

void WatchWindowCommands::followMinimizedState(bool minimized)
{
    WatchWindow *current = window();
    if (!current)
        return;
    if (minimized) {
        current->setProperty("wasvisible", current->isVisible());
        current->hide();
    } else if (current->property("wasvisible").toBool()) {
        current->show();
    }
}

void WatchWindowCommands::followOnTop(bool onTop)
{
    WatchWindow *current = window();
    if (!current)
        return;
    setStaysOnTop(*current, onTop);
}
