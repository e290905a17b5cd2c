#include "excel/excelprobes.h"
#include "excel/activewindow.h"
#include "excel/excelbackend.h"
#include "excel/excellogging.h"

#include <QGuiApplication>
#include <QWindow>

namespace {

// Titles are seen through a buffer of 20 UTF-16 units, terminator included.
const int titleLength = 19;

// Without a window manager that names the active window nothing counts as in front, so our
// windows are never kept on top by mistake. Said once, not at every tick of the caller's timer.
void noteSource(ActiveWindow::Source source)
{
    static ActiveWindow::Source noted = ActiveWindow::Source::WindowManager;
    if (source == noted)
        return;
    noted = source;
    if (source == ActiveWindow::Source::NoX11)
        qCDebug(lcLink) << "Not on X11: the spreadsheet program never counts as in front";
    else if (source == ActiveWindow::Source::NoWindowManager)
        qCDebug(lcLink) << "No window manager publishes _NET_ACTIVE_WINDOW: the spreadsheet"
                           " program never counts as in front";
}

ActiveWindow foregroundWindow()
{
    const ActiveWindow active = currentActiveWindow();
    noteSource(active.source);
    qCDebug(lcLink) << "---------->" << active.title;
    return active;
}

} // namespace

bool isExcelProcessRunning()
{
    return ExcelBackend::isRunning();
}

bool titleStartsWith(const QString &title, const QString &prefix)
{
    return title.left(titleLength).startsWith(prefix);
}

// The office puts the application's name last ("loan.ods - LibreOffice Calc").
bool isExcelWindowTitle(const QString &title)
{
    return title.endsWith(" - " + ExcelBackend::applicationName());
}

bool foregroundTitleStartsWith(const QString &prefix)
{
    return titleStartsWith(foregroundWindow().title, prefix);
}

// The office's other programs (text documents, presentations, its start window) share its
// process, so only the titles tell the spreadsheet's windows apart; a dialog names no program and
// is known by the window it belongs to.
ExcelForeground excelForeground()
{
    const ActiveWindow active = foregroundWindow();
    if (active.window == 0)
        return ExcelForeground::None;
    if (isExcelWindowTitle(active.title))
        return ExcelForeground::Document;
    return isExcelWindowTitle(active.ownerTitle) ? ExcelForeground::Dialog : ExcelForeground::None;
}

bool isExcelForeground()
{
    return excelForeground() != ExcelForeground::None;
}

bool isOwnWindowForeground()
{
    const ActiveWindow active = foregroundWindow();
    if (active.window == 0)
        return false;
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (const QWindow *window : windows) {
        if (window->handle() && window->winId() == active.window)
            return true;
    }
    return false;
}
