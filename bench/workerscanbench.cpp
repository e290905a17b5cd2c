// Scans of a heavy workbook (a generated portfolio of loans, bound by the office's own
// recalculation) through the scan engine, side by side in one run: in the user's office (a
// private headless office stands in for it), then on the program's private offices, one and one
// per core, each cold (the offices start) and warm (the offices of the scan before take the new
// snapshot). Prints seconds per scan, the ratios against the user's office, and the memory each
// private office holds afterwards.

#include "app/scanengine.h"
#include "app/scanworkers.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"
#include "graph/minmaxmultidimdata.h"
#include "heavyworkbook.h"
#include "privateoffice.h"
#include "watches/vivexcelwatchview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <memory>

namespace {

// Kilobytes of memory the process holds, from /proc.
qint64 residentKb(qint64 process)
{
    QFile status(QString("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression resident(R"(VmRSS:\s+(\d+) kB)");
    return resident.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

struct Scan
{
    VIVExcelApplication *application = nullptr;
    ScanGrid grid;
    QList<VIVExcelWatchView *> watches;
};

// Seconds for one scan from the Graph button's press to its end, the workers readied included.
double scanSeconds(const Scan &scan, ScanWorkers *workers)
{
    QObject controller;
    ScanEngine engine(&controller);
    engine.setApplication(scan.application);
    engine.setGrid(scan.grid);
    engine.setWatches(scan.watches);
    engine.prepareWatches(QList<int>(scan.grid.dimensions().size(), -1));
    QElapsedTimer timer;
    timer.start();
    const bool onWorkers =
        workers && workers->prepare(scan.application, engine.writeRanges(), engine.readRanges(),
                                    scan.grid.totalPoints());
    if (workers && !onWorkers) {
        QTextStream(stderr) << workers->lastWay() << "\n";
        return -1;
    }
    engine.setWorkers(onWorkers ? workers : nullptr);
    if (!onWorkers)
        scan.application->setScreenUpdating(false);
    const ScanEngine::Outcome outcome = engine.run();
    if (!onWorkers)
        scan.application->setScreenUpdating(true);
    const double seconds = timer.nsecsElapsed() / 1e9;
    engine.finishWatches(outcome == ScanEngine::Outcome::Completed);
    QCoreApplication::processEvents();
    return outcome == ScanEngine::Outcome::Completed ? seconds : -1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    // Before the office under test: saving it starts a private office that the link follows.
    const QString portfolio = HeavyWorkbook::writeXlsx(folder.path());
    PrivateOffice office;
    if (!office.start()) {
        out << "The office did not start.\n";
        return 1;
    }
    ExcelBackend::configure(office.pipeName(), office.profileUrl());
    const QString bookName = office.open(portfolio);
    auto application = std::make_unique<VIVExcelApplication>(ExcelBackend::attachOrStart());
    VIVExcelWorksheet *sheet =
        application->workbooks()->workbook(bookName, true)->worksheets()->worksheet("Loans", true);
    Scan scan{application.get(), {}, {}};
    QList<ScanDimension> axes(2);
    axes[0].range = sheet->range("B1", true);
    axes[0].minimum = 100000;
    axes[0].maximum = 300000;
    axes[0].step = 1000;
    axes[1].range = sheet->range("B3", true);
    axes[1].maximum = 1000;
    axes[1].step = 10;
    scan.grid = ScanGrid(axes);
    scan.grid.size(40);
    for (const char *address : {"B4", "B5"}) {
        auto *watch = new VIVExcelWatchView;
        watch->setRange(sheet->range(address, true));
        watch->resize(290, 330);
        watch->show();
        scan.watches.append(watch);
    }

    const int cores = QThread::idealThreadCount();
    out << "Scans of a portfolio of 4 loans, " << scan.grid.totalPoints() << " points, " << cores
        << " cores\n";
    out.flush();
    const double inOffice = scanSeconds(scan, nullptr);
    out << QString("  in the user's office:       %1 s (%2 ms per point)\n")
               .arg(inOffice, 0, 'f', 2)
               .arg(inOffice * 1000 / scan.grid.totalPoints(), 0, 'f', 1);
    out.flush();
    for (const int count : {1, cores}) {
        ScanWorkers workers;
        workers.setMode(ScanWorkers::Mode::Always);
        workers.setMaximumWorkers(count);
        const double cold = scanSeconds(scan, &workers);
        const double warm = scanSeconds(scan, &workers);
        qint64 memory = 0;
        for (const qint64 process : workers.processIds())
            memory = std::max(memory, residentKb(process));
        out << QString("  on %1 private office(s): cold %2 s (%3x), warm %4 s (%5x); "
                       "each office holds %6 MB\n")
                   .arg(count)
                   .arg(cold, 0, 'f', 2)
                   .arg(inOffice / cold, 0, 'f', 2)
                   .arg(warm, 0, 'f', 2)
                   .arg(inOffice / warm, 0, 'f', 2)
                   .arg(memory / 1024);
        out.flush();
        if (count == cores)
            break;
    }
    qDeleteAll(scan.watches);
    application.reset();
    office.stop();
    return 0;
}
