#include "imagecache.h"

#include <QHash>
#include <QImage>

namespace {

// The table is never destroyed: the images must outlive every painter, including those that
// run during static destruction.
QHash<QString, QImage *> &cachedImages()
{
    static auto *images = new QHash<QString, QImage *>;
    return *images;
}

} // namespace

QImage *cachedImage(const QString &path)
{
    QImage *&image = cachedImages()[path];
    if (!image)
        image = new QImage(path);
    return image;
}
