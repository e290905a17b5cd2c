#include "sliders/sliderscale.h"

#include "graph/axisticks.h"

#include <QFont>
#include <QFontMetrics>
#include <QList>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

constexpr int majorTickLength = 14;
constexpr int minTickSpacing = 14;
// Minor ticks only between majors further apart than this.
constexpr int minorTickGap = 7;
constexpr int labelPixelSize = 12;
// Long values (a loan of 400000) shrink down to this size to fit beside the scale.
constexpr int smallestLabelPixelSize = 8;
constexpr int labelOffset = 16;
constexpr int baselineOffset = 3;

QString valueText(double value)
{
    return QString::number(value, 'g', 6);
}

void paintTicks(QPainter &painter, const SliderScale &scale)
{
    QList<double> positions;
    QList<double> values;
    axisTicks(scale.bottom + 1 - scale.top, minTickSpacing, scale.minimum, scale.maximum, positions,
              values);
    painter.setPen(QPen(painter.pen().color(), 1));
    for (double offset : positions) {
        const int y = scale.top + int(offset);
        if (scale.top < y && y < scale.bottom)
            painter.drawLine(scale.x, y, scale.x + majorTickLength, y);
    }
    if (positions.size() < 2)
        return;
    const double spacing = positions[1] - positions[0];
    if (spacing <= minorTickGap)
        return;
    painter.setPen(QColor(30, 30, 30, 255));
    const int first = scale.top + int(positions[0] - spacing / 2);
    if (first > scale.top)
        painter.drawLine(scale.x, first, scale.x + 6, first);
    for (double offset : positions) {
        const int y = scale.top + int(offset + spacing / 2);
        if (y >= scale.bottom)
            break;
        painter.drawLine(scale.x, y, scale.x + 7, y);
    }
}

// A limit's label fades out as the current value's label comes within one line of it.
QColor limitColour(const SliderScale &scale, double distance)
{
    QColor colour = scale.highlighted ? QColor(Qt::white) : QColor(Qt::gray);
    if (distance < labelPixelSize) {
        const int alpha = int(255 * std::abs(distance) / labelPixelSize);
        if (alpha < 255)
            colour.setAlpha(alpha);
    }
    return colour;
}

// The largest font, down to the smallest readable one, in which every value fits between x and
// the scale's right limit.
QFont labelFont(QFont font, const SliderScale &scale, int x)
{
    font.setWeight(QFont::Normal);
    const QStringList texts{valueText(scale.maximum), valueText(scale.minimum),
                            valueText(scale.value)};
    for (int size = labelPixelSize; size >= smallestLabelPixelSize; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const bool fits =
            scale.right <= 0 || std::all_of(texts.begin(), texts.end(), [&](const QString &text) {
                return x + metrics.horizontalAdvance(text) <= scale.right + 1;
            });
        if (fits)
            return font;
    }
    return font;
}

void paintValues(QPainter &painter, const SliderScale &scale)
{
    const int x = scale.x + labelOffset;
    painter.setFont(labelFont(painter.font(), scale, x));
    const double span = scale.bottom + 1 - scale.top;
    const double current =
        scale.top + (scale.maximum - scale.value) / (scale.maximum - scale.minimum) * span;

    if (scale.top < current) {
        painter.setPen(limitColour(scale, current - scale.top));
        painter.drawText(x, scale.top + baselineOffset, valueText(scale.maximum));
    }
    if (current < scale.bottom) {
        painter.setPen(limitColour(scale, scale.bottom - current));
        painter.drawText(x, scale.bottom + baselineOffset, valueText(scale.minimum));
    }
    const int y = int(current) + baselineOffset;
    const QString text = valueText(scale.value);
    if (scale.highlighted) {
        painter.setPen(QColor(128, 53, 0));
        painter.drawText(x + 1, y, text);
        painter.drawText(x, y + 1, text);
        painter.drawText(x + 1, y + 1, text);
        painter.setPen(QColor(255, 192, 0));
    } else {
        painter.setPen(Qt::lightGray);
    }
    painter.drawText(x, y, text);
}

} // namespace

void paintSliderScale(QPainter &painter, const SliderScale &scale)
{
    if (scale.bottom - scale.top < 0)
        return;
    painter.save();
    paintTicks(painter, scale);
    if (scale.showValues && scale.maximum > scale.minimum)
        paintValues(painter, scale);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(scale.x, scale.top, scale.x + majorTickLength, scale.top);
    painter.drawLine(scale.x, scale.bottom, scale.x + majorTickLength, scale.bottom);
    painter.restore();
}
