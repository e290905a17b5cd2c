// Prints the median time of repeated graph renderings into a 400 x 400 image: cube surfaces at
// full quality and with fast drawing, the cached-image repaint, the heat map and the 2D curve.

#include "graph/minmaxmultidimdata.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int graphSize = 400;
constexpr int repetitions = 31;

QList<double> surfaceValues(int n)
{
    QList<double> values;
    for (int b = 0; b < n; ++b) {
        for (int a = 0; a < n; ++a)
            values.append(std::sin(6.0 * a / (n - 1) - 3.0) * std::cos(6.0 * b / (n - 1) - 3.0));
    }
    return values;
}

void prepareSurface(MinMaxMultiDimData &data, int n, bool flat)
{
    data.setDimensions({{n, QStringLiteral("x"), -3.0, 3.0}, {n, QStringLiteral("y"), -3.0, 3.0}});
    data.setDataExtractionSettings({{-1, -1}, false});
    data.setValues(surfaceValues(n));
    data.finishScan(true);
    data.setFlat3D(flat);
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.imageSize = QSize(graphSize, graphSize);
    data.setDrawSettings3DCube(cube);
}

// Processor time of this thread: unlike the wall clock it does not grow while other programs
// take turns on the machine's cores.
double threadMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Timing
{
    double wallMs = 0.0;
    double cpuMs = 0.0;
};

// Medians in milliseconds of repeated calls of paint, each after prepare.
Timing measure(MinMaxMultiDimData &data, const std::function<void()> &prepare)
{
    QImage target(graphSize, graphSize, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int k = 0; k < repetitions; ++k) {
        prepare();
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing);
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadMs();
        data.paint(painter, QRect(0, 0, graphSize, graphSize));
        cpu.push_back(threadMs() - cpuStart);
        wall.push_back(timer.nsecsElapsed() / 1e6);
    }
    return {median(wall), median(cpu)};
}

void report(QTextStream &out, const QString &what, const Timing &timing, double targetMs)
{
    out << qSetFieldWidth(46) << Qt::left << what << qSetFieldWidth(0)
        << QString::number(timing.wallMs, 'f', 2) << " ms wall, "
        << QString::number(timing.cpuMs, 'f', 2) << " ms cpu (target <= " << targetMs << " ms)\n";
    out.flush();
}

void benchCube(QTextStream &out, int n, double targetMs)
{
    MinMaxMultiDimData data;
    prepareSurface(data, n, false);
    const auto dataChange = [&data] { data.markChanged(); };
    report(out, QStringLiteral("cube %1 x %1, full quality, data changed").arg(n),
           measure(data, dataChange), targetMs);
    double yaw = -30.0;
    const auto turn = [&data, &yaw] {
        PerspectiveSettings camera = data.perspectiveSettings();
        camera.yaw = (yaw += 1.0);
        data.setPerspectiveSettings(camera);
    };
    report(out, QStringLiteral("cube %1 x %1, full quality, camera turned").arg(n),
           measure(data, turn), targetMs);
}

void benchFastCube(QTextStream &out)
{
    MinMaxMultiDimData data;
    prepareSurface(data, 81, false);
    DrawSettings3DCube cube = data.drawSettings3DCube();
    cube.fastDraw = true;
    data.setDrawSettings3DCube(cube);
    data.setDataExtractionSettings({{-1, -1}, true});
    const auto dataChange = [&data] { data.markChanged(); };
    report(out, QStringLiteral("cube 81 x 81, fast drawing, data changed"),
           measure(data, dataChange), 20.0);
    double yaw = -30.0;
    const auto turn = [&data, &yaw] {
        PerspectiveSettings camera = data.perspectiveSettings();
        camera.yaw = (yaw += 1.0);
        data.setPerspectiveSettings(camera);
    };
    report(out, QStringLiteral("cube 81 x 81, fast drawing, camera turned"), measure(data, turn),
           20.0);
}

void benchBlit(QTextStream &out)
{
    MinMaxMultiDimData data;
    prepareSurface(data, 81, false);
    QImage target(graphSize, graphSize, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    data.paint(painter, QRect(0, 0, graphSize, graphSize));
    painter.end();
    report(out, QStringLiteral("cube 81 x 81, repaint from the cached image"), measure(data, [] {}),
           2.0);
}

void benchFlat(QTextStream &out)
{
    MinMaxMultiDimData data;
    prepareSurface(data, 81, true);
    report(out, QStringLiteral("flat 81 x 81 heat map"), measure(data, [] {}), 3.0);
}

void benchCurve(QTextStream &out)
{
    MinMaxMultiDimData data;
    data.setDimensions({{500, QStringLiteral("x"), 0.0, 1.0}});
    data.setDataExtractionSettings({{-1}, false});
    QList<double> values;
    for (int k = 0; k < 500; ++k)
        values.append(std::sin(k / 20.0));
    data.setValues(values);
    report(out, QStringLiteral("2D curve of 500 points"), measure(data, [] {}), 3.0);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    out << "Median of " << repetitions << " renderings into " << graphSize << " x " << graphSize
        << " px; wall clock and this thread's processor time\n";
    benchCube(out, 81, 60.0);
    benchFastCube(out);
    benchCube(out, 15, 10.0);
    benchBlit(out);
    benchFlat(out);
    benchCurve(out);
    return 0;
}
