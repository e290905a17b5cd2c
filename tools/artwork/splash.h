#ifndef ARTWORK_SPLASH_H
#define ARTWORK_SPLASH_H

#include <QImage>

// The start-up picture: a steel plate with rounded, transparent corners carrying the product
// name and a surface graph. The program draws the product icon over its top right corner
// (70 x 70 px, 20 px from the top and right edges), so that corner is left plain.
QImage splashPicture();

#endif
