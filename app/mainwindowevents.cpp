#include "mainwindowevents.h"

#include "app/applogging.h"
#include "app/mainwindow.h"
#include "app/scanstate.h"
#include "app/sliderwatchregistry.h"
#include "app/watchwindowcommands.h"
#include "excel/vivexcelrange.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/watchwindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTimer>

MainWindowEvents::MainWindowEvents(MainWindow &window, SliderWatchRegistry &registry,
                                   WatchWindowCommands &watchWindows, QTimer &frontMostTimer)
    : m_window(window), m_registry(registry), m_watchWindows(watchWindows),
      m_frontMostTimer(frontMostTimer)
{}

bool MainWindowEvents::filter(QObject *watched, QEvent *event)
{
    if (watched == qApp) {
        if (event->type() == QEvent::ApplicationActivate) {
            qCDebug(lcApp) << "ApplicationActivate";
            m_frontMostTimer.stop();
            if (!isScanning())
                refreshSlidersFromExcel();
        } else if (event->type() == QEvent::ApplicationDeactivate) {
            qCDebug(lcApp) << "ApplicationDeactivate";
            m_frontMostTimer.start();
        }
        return false;
    }
    if (watched != &m_window && !m_watchWindows.isWindow(watched))
        return false;
    if (event->type() == QEvent::WindowStateChange)
        m_watchWindows.followMinimizedState(m_window.isMinimized());
    if (event->type() == QEvent::KeyPress)
        return handleKeyPress(watched, *static_cast<QKeyEvent *>(event));
    return false;
}

void MainWindowEvents::refreshSlidersFromExcel()
{
    for (VIVExcelCellSliderView *view : m_registry.sliders()) {
        if (!view->range())
            continue;
        // Only a number moves the slider: text or an emptied cell leaves it where it is.
        const QVariant value = view->range()->value();
        if (value.typeId() != QMetaType::Double)
            continue;
        const QSignalBlocker blocker(view);
        view->slider()->setRealValue(value.toDouble());
    }
}

bool MainWindowEvents::isScanning() const
{
    return ScanState::of(&m_window)->isScanning();
}

bool MainWindowEvents::handleKeyPress(QObject *watched, const QKeyEvent &event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    WatchWindow *watchWindow = m_watchWindows.window();
    if (key == Qt::Key_M && (modifiers & Qt::ControlModifier) && (modifiers & Qt::ShiftModifier)) {
        m_window.autoPerformTasks();
    } else if (key == Qt::Key_W) {
        m_window.on_pushButton_newWatch_clicked();
    } else if (key == Qt::Key_S && watched == &m_window) {
        m_window.on_pushButton_newSlider_clicked();
    } else if (key == Qt::Key_S && watchWindow && watched == watchWindow) {
        watchWindow->setSmoothGraphs(!watchWindow->smoothGraphs());
    } else if (key == Qt::Key_G) {
        QTimer::singleShot(100, &m_window, &MainWindow::on_pushButton_Graph_clicked);
    } else if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        sliderKey(key - Qt::Key_1, modifiers & Qt::AltModifier);
    } else if (key == Qt::Key_F) {
        if (watchWindow && watchWindow->offersFlat3D())
            watchWindow->setFlat3D(!watchWindow->flat3D());
    } else if (key == Qt::Key_Escape) {
        if (isScanning())
            ScanState::of(&m_window)->requestStop();
    } else {
        return false;
    }
    return true;
}

// Digits beyond the slider count are swallowed all the same, so they never reach other widgets.
void MainWindowEvents::sliderKey(int index, bool withAlt)
{
    if (index >= m_registry.sliders().size())
        return;
    VIVExcelCellSliderView *view = m_registry.sliders()[index];
    if (withAlt)
        m_window.showSliderSettings(view);
    else
        view->setSelected(!view->selected());
}
