#include "app/mainwindow.h"
#include "widgets/splashscreen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QWindow>

namespace {

// A window is painted only once the window system has mapped it; without this wait the
// pause below would show an empty frame instead of the splash picture.
void waitUntilPainted(QWidget *window)
{
    QElapsedTimer waited;
    waited.start();
    while (window->windowHandle() && !window->windowHandle()->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // The splash deletes itself a few seconds after its first paint, or here when the
    // program ends sooner.
    QPointer<SplashScreen> splash = new SplashScreen(nullptr);
    splash->show();
    waitUntilPainted(splash);
    // The pause lets the splash screen be seen before the main window is built.
    QThread::msleep(1000);
    MainWindow window;
    window.show();
    const int result = application.exec();
    delete splash;
    return result;
}
