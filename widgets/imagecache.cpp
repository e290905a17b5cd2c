#include "imagecache.h"

#include <QImage>
#include <QList>

namespace {

// Two parallel lists in load order; the program holds only a few dozen distinct images,
// so a linear search is all the lookup needs. The lists are never destroyed: the images
// must outlive every painter, including those that run during static destruction.
QList<QString> &cachedPaths()
{
    static auto *paths = new QList<QString>;
    return *paths;
}

QList<QImage *> &cachedImages()
{
    static auto *images = new QList<QImage *>;
    return *images;
}

} // namespace

QImage *cachedImage(const QString &path)
{
    const qsizetype index = cachedPaths().indexOf(path);
    if (index >= 0)
        return cachedImages().at(index);
    auto *image = new QImage(path);
    cachedPaths().append(path);
    cachedImages().append(image);
    return image;
}
