#ifndef ARTWORK_NOISE_H
#define ARTWORK_NOISE_H

#include <QtGlobal>

// Value noise on a lattice that wraps around, so images built from it tile seamlessly.
// Everything derives from the seed through an integer hash: the same seed gives the same
// pixels on every machine, which keeps the committed images reproducible.
class TileNoise
{
public:
    TileNoise(quint32 seed, int periodX, int periodY);

    // Smoothly interpolated noise in [-1, 1]; x and y are in lattice cells.
    double at(double x, double y) const;

private:
    double lattice(int i, int j) const;

    quint32 seed;
    int periodX;
    int periodY;
};

// A well-mixed 32-bit hash of three integers, mapped to [-1, 1].
double hashNoise(quint32 seed, int i, int j);

#endif
