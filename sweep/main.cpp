#include "scan/sweepoptions.h"
#include "sweep/sweepcommand.h"

#include <QGuiApplication>
#include <QThread>
#include <cstdio>
#include <memory>

// No window ever opens: the pictures, when asked for, are painted off screen, and without them
// the program needs no graphics at all.
int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QString error;
    const std::optional<SweepOptions> options =
        SweepOptions::parse(arguments, QThread::idealThreadCount(), &error);
    if (!options) {
        std::fprintf(stderr, "marlowin-sweep: %s\n%s", qPrintable(error),
                     qPrintable(SweepOptions::usage()));
        return SweepCommand::BadArguments;
    }
    std::unique_ptr<QCoreApplication> application;
    if (options->plotDirectory.isEmpty()) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    return SweepCommand(*options).run();
}
