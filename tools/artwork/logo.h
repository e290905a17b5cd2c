#ifndef ARTWORK_LOGO_H
#define ARTWORK_LOGO_H

#include <QImage>

// The product icon: a steel tile with a graph screen on which an amber curve traces an M,
// its middle valley marked by a red cross point. Sizes of 32 px and up are scaled from one
// detailed drawing; the 16 px icon is drawn on its own pixel grid so it stays sharp.
QImage productIcon(int size);

#endif
