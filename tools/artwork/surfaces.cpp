#include "surfaces.h"

#include "noise.h"

#include <QtGlobal>

namespace {

int channel(double value)
{
    return qBound(0, int(value + 0.5), 255);
}

double layeredNoise(const QList<TileNoise> &noises, const SurfaceLook &look, int x, int y)
{
    double sum = 0.0;
    for (qsizetype k = 0; k < noises.size(); ++k) {
        const GrainLayer &layer = look.layers.at(k);
        sum += layer.amplitude * noises.at(k).at(double(x) / layer.cellX, double(y) / layer.cellY);
    }
    return sum + look.grain * hashNoise(look.seed ^ 0xa5a5a5a5U, x, y);
}

} // namespace

QImage brushedSurface(const SurfaceLook &look)
{
    QList<TileNoise> noises;
    for (qsizetype k = 0; k < look.layers.size(); ++k) {
        const GrainLayer &layer = look.layers.at(k);
        noises.append(TileNoise(look.seed + quint32(k) * 7919U, look.width / layer.cellX,
                                look.height / layer.cellY));
    }
    QImage image(look.width, look.height, QImage::Format_RGB32);
    for (int y = 0; y < look.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < look.width; ++x) {
            // Multiplicative shading keeps the hue of the base colour in light and dark streaks.
            const double shade = 1.0 + layeredNoise(noises, look, x, y);
            line[x] = qRgb(channel(look.base.red() * shade), channel(look.base.green() * shade),
                           channel(look.base.blue() * shade));
        }
    }
    return image;
}

QImage metalSurface()
{
    SurfaceLook look{256, 128, 0x4d45544cU, QColor(178, 180, 183), {}, 0.025};
    look.layers = {{128, 1, 0.045}, {32, 1, 0.035}, {8, 2, 0.02}, {128, 64, 0.05}};
    return brushedSurface(look);
}

QImage stainlessSteelSurface()
{
    SurfaceLook look{256, 256, 0x53544545U, QColor(70, 74, 80), {}, 0.035};
    look.layers = {{256, 1, 0.06}, {64, 1, 0.05}, {16, 1, 0.03}, {128, 128, 0.06}, {64, 32, 0.03}};
    return brushedSurface(look);
}
