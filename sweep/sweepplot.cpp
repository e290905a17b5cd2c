#include "sweep/sweepplot.h"
#include "graph/axisticks.h"
#include "graph/datadimension.h"
#include "graph/minmaxmultidimdata.h"

#include <QDir>
#include <QPainter>
#include <QRegularExpression>

namespace {

const QSize pictureSize(900, 640);
const QMargins plotMargins(90, 50, 40, 70);
const QColor background(64, 64, 64);
const QColor ink(230, 230, 230);
const int tickSpacingPx = 70;
const int tickLength = 5;
// A watch window's user turns and zooms the cube until it fits; a picture has a single view,
// taken from a little further away so that every corner and its labels fit inside it.
const double surfaceZoom = 0.65;

QString tickText(double value)
{
    return QString::number(value, 'g', 6);
}

QString fileStem(const QString &address)
{
    return QString(address).replace(QRegularExpression("[^A-Za-z0-9_.-]"), "_");
}

QImage blankPicture()
{
    QImage image(pictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

void drawTitle(QPainter &painter, const QString &title)
{
    QFont font = painter.font();
    font.setPointSizeF(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRect(0, 10, pictureSize.width(), 30), Qt::AlignCenter, title);
    font.setPointSizeF(10);
    font.setBold(false);
    painter.setFont(font);
}

void drawHorizontalAxis(QPainter &painter, const QRect &area, double low, double high,
                        const QString &name)
{
    QList<double> positions;
    QList<double> values;
    axisTicks(area.width(), tickSpacingPx, low, high, positions, values);
    painter.setPen(ink);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    for (qsizetype i = 0; i < positions.size(); ++i) {
        const int x = area.left() + qRound(positions[i]);
        painter.drawLine(x, area.bottom(), x, area.bottom() + tickLength);
        painter.drawText(QRect(x - 60, area.bottom() + tickLength + 2, 120, 18), Qt::AlignCenter,
                         tickText(values[i]));
    }
    painter.drawText(QRect(area.left(), area.bottom() + 30, area.width(), 24), Qt::AlignCenter,
                     name);
}

void drawVerticalAxis(QPainter &painter, const QRect &area, double low, double high,
                      const QString &name)
{
    QList<double> positions;
    QList<double> values;
    axisTicks(area.height(), tickSpacingPx / 2.0, low, high, positions, values);
    painter.setPen(ink);
    painter.drawLine(area.bottomLeft(), area.topLeft());
    for (qsizetype i = 0; i < positions.size(); ++i) {
        const int y = area.bottom() - qRound(positions[i]);
        painter.drawLine(area.left() - tickLength, y, area.left(), y);
        painter.drawText(QRect(0, y - 9, area.left() - tickLength - 4, 18),
                         Qt::AlignRight | Qt::AlignVCenter, tickText(values[i]));
    }
    painter.save();
    painter.translate(14, area.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-area.height() / 2, -10, area.height(), 20), Qt::AlignCenter, name);
    painter.restore();
}

DataDimension dimensionOf(const SweepAxis &axis, const QString &title)
{
    DataDimension dimension;
    dimension.count = axis.count;
    dimension.label = title;
    dimension.from = axis.from;
    dimension.to = axis.to;
    return dimension;
}

} // namespace

SweepPlot::SweepPlot(const SweepGrid &grid, const SweepPool::Cells &cells)
    : grid(grid), cells(cells)
{}

QString SweepPlot::inputTitle(int axis) const
{
    const QString &label = cells.inputLabels.value(axis);
    const QString &address = cells.inputAddresses.value(axis);
    return label.isEmpty() ? address : QString("%1 (%2)").arg(label, address);
}

QString SweepPlot::watchTitle(int watch) const
{
    const QString &label = cells.watchLabels.value(watch);
    const QString &address = cells.watchAddresses.value(watch);
    return label.isEmpty() ? address : QString("%1 (%2)").arg(label, address);
}

bool SweepPlot::write(const QString &directory, const QList<double> &results, QString *error) const
{
    const QDir folder(directory);
    if (!folder.mkpath(".")) {
        *error = QString("--plot %1: cannot make the folder").arg(directory);
        return false;
    }
    const qsizetype watchCount = cells.watchAddresses.size();
    for (int watch = 0; watch < watchCount; ++watch) {
        QList<double> values;
        values.reserve(results.size() / std::max<qsizetype>(1, watchCount));
        for (qsizetype i = watch; i < results.size(); i += watchCount)
            values.append(results[i]);
        for (const Picture &picture : pictures(watch, values)) {
            const QString file =
                folder.filePath(fileStem(cells.watchAddresses[watch]) + picture.suffix + ".png");
            if (!picture.image.save(file, "PNG")) {
                *error = QString("--plot: cannot write %1").arg(file);
                return false;
            }
        }
    }
    return true;
}

QList<SweepPlot::Picture> SweepPlot::pictures(int watch, const QList<double> &values) const
{
    MinMaxMultiDimData data;
    QList<DataDimension> dimensions;
    for (int axis = 0; axis < grid.axes().size(); ++axis)
        dimensions.append(dimensionOf(grid.axes()[axis], inputTitle(axis)));
    data.setDimensions(dimensions);
    data.setDisplayAsScan(true);
    data.setValues(values);
    data.finishScan(true);
    DataExtractionSettings extraction;
    extraction.indices = QList<int>(dimensions.size(), -1);
    data.setDataExtractionSettings(extraction);
    if (dimensions.size() == 1)
        return {{"-curve", curve(data, watch)}};
    return {{"-map", colourMap(data, watch)}, {"-surface", surface(data, watch)}};
}

QImage SweepPlot::curve(MinMaxMultiDimData &data, int watch) const
{
    QImage image = blankPicture();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = QRect(QPoint(0, 0), pictureSize).marginsRemoved(plotMargins);
    drawTitle(painter, watchTitle(watch));
    data.paint(painter, area);
    drawHorizontalAxis(painter, area, grid.axes()[0].from, grid.axes()[0].to, inputTitle(0));
    drawVerticalAxis(painter, area, data.minimum(), data.maximum(), watchTitle(watch));
    return image;
}

QImage SweepPlot::colourMap(MinMaxMultiDimData &data, int watch) const
{
    QImage image = blankPicture();
    QPainter painter(&image);
    const QRect area = QRect(QPoint(0, 0), pictureSize).marginsRemoved(plotMargins);
    drawTitle(painter,
              QString("%1: %2 to %3")
                  .arg(watchTitle(watch), tickText(data.minimum()), tickText(data.maximum())));
    data.setFlat3D(true);
    data.paint(painter, area);
    drawHorizontalAxis(painter, area, grid.axes()[0].from, grid.axes()[0].to, inputTitle(0));
    drawVerticalAxis(painter, area, grid.axes()[1].from, grid.axes()[1].to, inputTitle(1));
    return image;
}

QImage SweepPlot::surface(MinMaxMultiDimData &data, int watch) const
{
    QImage image = blankPicture();
    QPainter painter(&image);
    const QRect area = QRect(QPoint(0, 0), pictureSize).marginsRemoved(QMargins(20, 50, 20, 50));
    drawTitle(painter, watchTitle(watch));
    DrawSettings3DCube settings = data.drawSettings3DCube();
    settings.imageSize = area.size();
    data.setDrawSettings3DCube(settings);
    PerspectiveSettings perspective = data.perspectiveSettings();
    perspective.zoom = surfaceZoom;
    data.setPerspectiveSettings(perspective);
    data.setFlat3D(false);
    data.paint(painter, area);
    painter.setPen(ink);
    const SweepAxis &first = grid.axes()[0];
    const SweepAxis &second = grid.axes()[1];
    painter.drawText(QRect(0, area.bottom() + 10, pictureSize.width(), 36), Qt::AlignCenter,
                     QString("%1 from %2 to %3, %4 from %5 to %6; height: the watched value")
                         .arg(inputTitle(0), tickText(first.from), tickText(first.to),
                              inputTitle(1), tickText(second.from), tickText(second.to)));
    return image;
}
