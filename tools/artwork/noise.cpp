#include "noise.h"

#include <cmath>

namespace {

quint32 mix(quint32 x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

int wrap(int i, int period)
{
    const int r = i % period;
    return r < 0 ? r + period : r;
}

double smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

} // namespace

double hashNoise(quint32 seed, int i, int j)
{
    const quint32 h = mix(seed ^ mix(quint32(i) * 0x9e3779b9U ^ mix(quint32(j) + 0x632be5abU)));
    return double(h) / double(0xffffffffU) * 2.0 - 1.0;
}

TileNoise::TileNoise(quint32 seed, int periodX, int periodY)
    : seed(seed), periodX(periodX > 0 ? periodX : 1), periodY(periodY > 0 ? periodY : 1)
{}

double TileNoise::lattice(int i, int j) const
{
    return hashNoise(seed, wrap(i, periodX), wrap(j, periodY));
}

double TileNoise::at(double x, double y) const
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int i = int(fx);
    const int j = int(fy);
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double top = lattice(i, j) + (lattice(i + 1, j) - lattice(i, j)) * tx;
    const double bottom = lattice(i, j + 1) + (lattice(i + 1, j + 1) - lattice(i, j + 1)) * tx;
    return top + (bottom - top) * ty;
}
