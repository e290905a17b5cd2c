#include "watchwindowcommands.h"

#include "app/appstyles.h"
#include "app/mainwindow.h"
#include "app/sliderwatchregistry.h"
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
    return m_window;
}

void WatchWindowCommands::createWindow()
{
    m_registry->deactivateWatches();
    const QScreen *screen =
        m_mainWindow->screen() ? m_mainWindow->screen() : QGuiApplication::primaryScreen();
    adopt(AppStyles::createWatchWindow(screen ? screen->availableGeometry() : QRect()));
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
}

void WatchWindowCommands::drop(WatchWindow *window)
{
    if (window)
        window->deleteLater();
    m_window = nullptr;
}

void WatchWindowCommands::showForWatches(bool hasWatches)
{
    if (m_window)
        m_window->setVisible(hasWatches);
}

void WatchWindowCommands::followMinimizedState(bool minimized)
{
    if (!m_window)
        return;
    if (minimized) {
        m_window->setProperty("wasvisible", m_window->isVisible());
        m_window->hide();
    } else if (m_window->property("wasvisible").toBool()) {
        m_window->show();
    }
}

void WatchWindowCommands::followOnTop(bool onTop)
{
    if (!m_window)
        return;
    const Qt::WindowFlags flags = m_window->windowFlags();
    const Qt::WindowFlags wanted =
        onTop ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (wanted == flags)
        return;
    m_window->setWindowFlags(wanted);
    m_window->show();
}
