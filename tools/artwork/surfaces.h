#ifndef ARTWORK_SURFACES_H
#define ARTWORK_SURFACES_H

#include <QColor>
#include <QImage>
#include <QList>

// One layer of a brushed finish: noise stretched to cells of cellX by cellY pixels.
struct GrainLayer
{
    int cellX;
    int cellY;
    double amplitude;
};

// A tileable brushed surface: a base colour modulated by stretched noise layers and a
// per-pixel grain. The width and height must be multiples of every layer's cell size.
struct SurfaceLook
{
    int width;
    int height;
    quint32 seed;
    QColor base;
    QList<GrainLayer> layers;
    double grain;
};

QImage brushedSurface(const SurfaceLook &look);

// Light brushed aluminium for buttons, labels and text strips under dark text.
QImage metalSurface();

// Dark satin stainless steel, tiled behind every window of the program.
QImage stainlessSteelSurface();

#endif
