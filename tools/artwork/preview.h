#ifndef ARTWORK_PREVIEW_H
#define ARTWORK_PREVIEW_H

#include <QImage>
#include <QMap>
#include <QString>

// A mock-up of the main window's title strip, button row and two slider columns, composed
// from the generated images (keyed by file name) the way the program places them, so sizes
// and contrast can be judged together before the program draws them for real.
QImage windowPreview(const QMap<QString, QImage> &images);

// The splash picture with the product icon placed over it as the program shows it.
QImage splashPreview(const QMap<QString, QImage> &images);

#endif
