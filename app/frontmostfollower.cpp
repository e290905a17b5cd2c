#include "frontmostfollower.h"

#include "app/applogging.h"
#include "app/scanstate.h"
#include "app/watchwindowcommands.h"
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

void FrontMostFollower::check()
{
    // A program that is closing shows no window again.
    if (isOwnWindowForeground() || ScanState::of(&m_mainWindow)->isClosing()) {
        m_timer.stop();
        return;
    }
    const bool excelFront = isExcelForeground();
    const Qt::WindowFlags flags = m_mainWindow.windowFlags();
    const Qt::WindowFlags wanted =
        excelFront ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (wanted != flags) {
        qCDebug(lcApp) << "Changing flags!!!!!!" << qPrintable(flagsText(flags))
                       << qPrintable(flagsText(wanted));
        m_mainWindow.setWindowFlags(wanted);
        qCDebug(lcApp) << "SHOWING";
        // Changing the flags hides the window.
        m_mainWindow.showNormal();
    }
    m_watchWindows.followOnTop(excelFront);
    m_timer.stop();
    if (excelFront)
        m_timer.start();
}
