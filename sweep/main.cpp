#include "scan/sweepoptions.h"
#include "sweep/sweepcommand.h"

#include <QGuiApplication>
#include <QThread>
#include <cstdio>

// No window ever opens; the pictures are painted off screen.
int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QString error;
    const std::optional<SweepOptions> options =
        SweepOptions::parse(application.arguments().mid(1), QThread::idealThreadCount(), &error);
    if (!options) {
        std::fprintf(stderr, "marlowin-sweep: %s\n%s", qPrintable(error),
                     qPrintable(SweepOptions::usage()));
        return SweepCommand::BadArguments;
    }
    return SweepCommand(*options).run();
}
