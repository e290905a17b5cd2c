#include "app/mainwindow.h"

#include <QApplication>
#include <QThread>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // The pause lets the splash screen be seen before the main window is built.
    QThread::msleep(1000);
    MainWindow window;
    window.show();
    return application.exec();
}
