#ifndef IMAGECACHE_H
#define IMAGECACHE_H

#include <QString>

class QImage;

// The process-wide cache of resource images: every image is decoded once and then shared
// by all painters until the process ends. The caller must neither delete nor modify it.
// A path that names no image yields (and caches) a null image.
QImage *cachedImage(const QString &path);

#endif
