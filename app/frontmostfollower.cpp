#include "frontmostfollower.h"

#include "app/applogging.h"
#include "app/scanstate.h"
#include "app/watchwindowcommands.h"
#include "app/windowstacking.h"
#include "excel/excelprobes.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace {

// "QFlags(0x1|0x40000)": the set bits as hexadecimal values.
QString flagsText(Qt::WindowFlags flags)
{
    QStringList bits;
    for (int bit = 0; bit < 32; ++bit) {
        const quint32 value = quint32(1) << bit;
        if (quint32(flags.toInt()) & value)
            bits.append("0x" + QString::number(value, 16));
    }
    return "QFlags(" + bits.join("|") + ")";
}

} // namespace

FrontMostFollower::FrontMostFollower(QWidget &mainWindow, WatchWindowCommands &watchWindows,
                                     QTimer &timer)
    : m_mainWindow(mainWindow), m_watchWindows(watchWindows), m_timer(timer)
{}

// A dialog of the spreadsheet (the cell format, the options of a paste) must not open under our
// windows: while one is in front they leave the "above" layer and the window manager keeps them
// under the dialog, and they come back on top once the document is in front again.
void FrontMostFollower::check()
{
    // A program that is closing shows no window again.
    if (isOwnWindowForeground() || ScanState::of(&m_mainWindow)->isClosing()) {
        m_timer.stop();
        return;
    }
    const ExcelForeground front = excelForeground();
    const bool onTop = front == ExcelForeground::Document;
    const Qt::WindowFlags flags = m_mainWindow.windowFlags();
    if (setStaysOnTop(m_mainWindow, onTop))
        qCDebug(lcApp) << "Changing flags" << qPrintable(flagsText(flags))
                       << qPrintable(flagsText(m_mainWindow.windowFlags()));
    m_watchWindows.followOnTop(onTop);
    m_timer.stop();
    if (front != ExcelForeground::None)
        m_timer.start();
}
