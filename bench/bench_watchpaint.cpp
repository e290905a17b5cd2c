// Prints the median time of one full watch paint (text, value scale, parameter axis, graph,
// buttons and frame) into an image, for a curve, a rolling history, a colour map and a cube
// surface, the cube both re-rendered after a turn and repainted from its cached picture.

#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int repetitions = 31;
const QSize watchSize(330, 340);

void prepareView(VIVExcelWatchView &view)
{
    view.resize(watchSize);
    view.setText(QStringLiteral("B9 Total interest"));
    view.setButtons(
        {{QStringLiteral(":resources/watchbuttonclose.png"), QStringLiteral("close")},
         {QStringLiteral(":resources/watchbuttonexportdata.png"), QStringLiteral("exportdata")},
         {QStringLiteral(":resources/watchbuttonexport.png"), QStringLiteral("exportimage")}});
    view.setButtonsVisible(true);
}

void fillCurve(MinMaxMultiDimData &data, int n)
{
    data.setDimensions({{n, QStringLiteral("Rate"), 0.0, 10.0}});
    QList<double> values;
    for (int i = 0; i < n; ++i)
        values.append(std::sin(i * 8.0 / n) * 3.0 + i * 0.01);
    data.setValues(values);
    data.finishScan(true);
    data.setDataExtractionSettings({{-1}, false});
}

void fillSurface(MinMaxMultiDimData &data, int n)
{
    data.setDimensions(
        {{n, QStringLiteral("Rate"), 1.0, 8.0}, {n, QStringLiteral("Years"), 5.0, 30.0}});
    QList<double> values;
    for (int b = 0; b < n; ++b) {
        for (int a = 0; a < n; ++a)
            values.append(std::sin(6.0 * a / (n - 1) - 3.0) * std::cos(6.0 * b / (n - 1) - 3.0));
    }
    data.setValues(values);
    data.finishScan(true);
    data.setDataExtractionSettings({{-1, -1}, false});
}

// Median in milliseconds of rendering the whole view, each time after prepare.
double medianMs(VIVExcelWatchView &view, const std::function<void(int)> &prepare)
{
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (int k = 0; k < repetitions; ++k) {
        prepare(k);
        QElapsedTimer timer;
        timer.start();
        view.render(&target);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(QTextStream &out, const QString &what, double ms)
{
    out << qSetFieldWidth(52) << Qt::left << what << qSetFieldWidth(0)
        << QString::number(ms, 'f', 2) << " ms\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out << "Full watch paint, " << watchSize.width() << " x " << watchSize.height()
        << " px, median of " << repetitions << " paints\n";
    const auto nothing = [](int) {};

    VIVExcelWatchView curve;
    prepareView(curve);
    fillCurve(*curve.data(), 101);
    report(out, QStringLiteral("curve, 101 scan points"), medianMs(curve, nothing));

    VIVExcelWatchView history;
    prepareView(history);
    // As the live update sets it up: one dimension that grows with every appended value.
    history.data()->setDimensions({{0, QString(), 0.0, 0.0}});
    history.data()->setDataExtractionSettings({{-1}, false});
    for (int i = 0; i < 200; ++i)
        history.data()->appendValue(std::sin(i * 0.1));
    report(out, QStringLiteral("curve, rolling history of 200 values"), medianMs(history, nothing));

    for (int n : {21, 41}) {
        VIVExcelWatchView flat;
        prepareView(flat);
        fillSurface(*flat.data(), n);
        flat.data()->setFlat3D(true);
        report(out, QStringLiteral("colour map, %1 x %1").arg(n), medianMs(flat, nothing));

        VIVExcelWatchView cube;
        prepareView(cube);
        fillSurface(*cube.data(), n);
        MinMaxMultiDimData *data = cube.data();
        const auto turn = [data](int k) {
            PerspectiveSettings perspective = data->perspectiveSettings();
            perspective.yaw = -30.0 + (k % 2);
            data->setPerspectiveSettings(perspective);
        };
        report(out, QStringLiteral("surface %1 x %1, turned before each paint").arg(n),
               medianMs(cube, turn));
        report(out, QStringLiteral("surface %1 x %1, cached picture").arg(n),
               medianMs(cube, nothing));
        cube.setCanUseFastDraw(true);
        report(out, QStringLiteral("surface %1 x %1, turned, fast drawing").arg(n),
               medianMs(cube, turn));
    }
    return 0;
}
