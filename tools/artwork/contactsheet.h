#ifndef ARTWORK_CONTACTSHEET_H
#define ARTWORK_CONTACTSHEET_H

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

// One picture of every generated image with its name, small ones enlarged pixel for pixel,
// laid on the window's steel so the art can be judged where it will be seen.
QImage contactSheet(const QList<QPair<QString, QImage>> &images, const QImage &ground);

#endif
