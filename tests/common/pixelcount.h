#ifndef PIXELCOUNT_H
#define PIXELCOUNT_H

#include <QColor>
#include <QImage>
#include <QRect>
#include <type_traits>

// How many pixels of the image, or of one area of it, pass the test. A test that takes a QColor
// sees premultiplied pixels as their true colours; one that takes a QRgb sees the raw value.
template <typename Test> int countPixels(const QImage &image, Test test, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if constexpr (std::is_invocable_v<Test, const QColor &>)
                count += test(image.pixelColor(x, y)) ? 1 : 0;
            else
                count += test(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

#endif
