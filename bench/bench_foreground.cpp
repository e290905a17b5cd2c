// Microseconds per call of the foreground probes, which the main window's front-most timer runs
// every 500 ms: against an X server and window manager of their own, with (a) a window whose
// title names the spreadsheet program in front, (b) a window of another process (the title
// does not tell, so its process is looked up too) and (c) one of our own windows.

#include "privatedisplay.h"

#include "excel/excelprobes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTest>
#include <QTextStream>
#include <QWidget>
#include <functional>
#include <unistd.h>

namespace {

const int calls = 1000;
const int rounds = 5;

// The best round: the machine's other work only ever adds time.
double microsecondsPerCall(const std::function<bool()> &probe, bool expected, bool &right)
{
    double best = 1e12;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int call = 0; call < calls; ++call)
            right = right && probe() == expected;
        best = std::min(best, timer.nsecsElapsed() / 1e3 / calls);
    }
    return best;
}

bool bringToFront(PrivateDisplay &display, quint32 window)
{
    display.activate(window);
    return QTest::qWaitFor([&]() { return display.activeWindow() == window; });
}

} // namespace

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    PrivateDisplay display;
    if (!display.start()) {
        out << "Cannot start an X server (Xvfb).\n";
        return 1;
    }
    qputenv("DISPLAY", display.name().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QLoggingCategory::setFilterRules("marlowin.link.debug=false");
    if (!display.startWindowManager()) {
        out << "Cannot start the window manager (openbox).\n";
        return 1;
    }
    const quint32 calc = display.createWindow("loan.ods - LibreOffice Calc");
    const quint32 other = display.createWindow("notes.txt - Editor", getpid());
    QWidget own;
    own.resize(200, 100);
    own.show();
    if (!QTest::qWaitForWindowExposed(&own, 20000)) {
        out << "Our window did not show.\n";
        return 1;
    }

    bool right = true;
    out << "Foreground probes, " << calls << " calls, best of " << rounds << " rounds\n";
    right = right && bringToFront(display, calc);
    out << QString("(a) isExcelForeground, Calc title in front:      %1 us per call\n")
               .arg(microsecondsPerCall(isExcelForeground, true, right), 0, 'f', 1);
    right = right && bringToFront(display, other);
    out << QString("(b) isExcelForeground, another process in front: %1 us per call\n")
               .arg(microsecondsPerCall(isExcelForeground, false, right), 0, 'f', 1);
    right = right && bringToFront(display, quint32(own.winId()));
    out << QString("(c) isOwnWindowForeground, our window in front:  %1 us per call\n")
               .arg(microsecondsPerCall(isOwnWindowForeground, true, right), 0, 'f', 1);
    if (!right)
        out << "Some answers were wrong; the figures do not count.\n";
    return right ? 0 : 1;
}
