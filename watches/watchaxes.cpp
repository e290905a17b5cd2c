#include "watches/watchaxes.h"

#include "graph/axisticks.h"

#include <QFontMetrics>
#include <QList>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

constexpr int labelPixelSize = 9;
constexpr int tickLength = 3;
constexpr int labelGap = 10;
// Short labels suit the narrow scale; more digits only where neighbouring ticks would read the
// same, as on the scale of a flat curve around a large value.
constexpr int minTickDigits = 4;
constexpr int maxTickDigits = 7;

QColor tickColour()
{
    return QColor(255, 255, 255, 110);
}

QColor tickLabelColour()
{
    return QColor(214, 206, 196);
}

QColor titleColour()
{
    return QColor(168, 156, 144);
}

// The step between ticks, which every tick label needs enough digits to show.
double tickStep(const QList<double> &values)
{
    return values.size() > 1 ? values.at(1) - values.at(0) : 0.0;
}

// Ticks of a linear mapping over lengthPx pixels whose ends show from and to (in either order),
// as pixel offsets from the end that shows from.
void ticksAlong(double lengthPx, double spacingPx, double from, double to, QList<double> &offsets,
                QList<double> &values)
{
    offsets.clear();
    values.clear();
    if (!std::isfinite(from) || !std::isfinite(to) || from == to)
        return;
    QList<double> positions;
    axisTicks(lengthPx, spacingPx, std::min(from, to), std::max(from, to), positions, values);
    for (double value : values)
        offsets.append((value - from) / (to - from) * lengthPx);
}

// The smallest step through the labels (every label, every second, ...) that keeps the labels
// shown apart, so that the shown ones stay evenly stepped.
int labelStride(const QList<QRect> &labels)
{
    for (int stride = 1; stride < labels.size(); ++stride) {
        bool apart = true;
        for (int k = stride; k < labels.size() && apart; k += stride)
            apart = labels.at(k).left() > labels.at(k - stride).right() + labelGap;
        if (apart)
            return stride;
    }
    return std::max<int>(1, int(labels.size()));
}

void setLabelFont(QPainter &painter, bool bold)
{
    QFont font = painter.font();
    font.setPixelSize(labelPixelSize);
    font.setBold(bold);
    painter.setFont(font);
}

} // namespace

QString watchTickText(double value, double step)
{
    // -0 from rounding reads as 0.
    if (std::abs(value) < 1e-12)
        return QStringLiteral("0");
    int digits = minTickDigits;
    if (step > 0.0 && std::isfinite(step) && std::isfinite(value)) {
        const int needed =
            int(std::floor(std::log10(std::abs(value)))) - int(std::floor(std::log10(step))) + 1;
        digits = std::clamp(needed, minTickDigits, maxTickDigits);
    }
    return QString::number(value, 'g', digits);
}

namespace {

// "1e+05" as "1e5", "2.5e-07" as "2.5e-7".
QString compactExponent(const QString &text)
{
    static const QRegularExpression exponent(QStringLiteral("e\\+?(-?)0*(\\d)"));
    return QString(text).replace(exponent, QStringLiteral("e\\1\\2"));
}

} // namespace

QString scaleTickText(double value, double step, int width, const QFontMetrics &metrics)
{
    const QString forms[] = {watchTickText(value, step), watchTickText(value, 0.0),
                             compactExponent(watchTickText(value, 0.0))};
    for (const QString &form : forms) {
        if (metrics.horizontalAdvance(form) <= width)
            return form;
    }
    return forms[2];
}

QColor watchGraphBackground()
{
    return QColor::fromRgba(0xFF180100);
}

void drawValueScale(QPainter &painter, const QRect &scale, const QRect &graph, double top,
                    double bottom, const QString &label)
{
    if (scale.isEmpty() || graph.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(
        QRect(QPoint(scale.left(), scale.top()), QPoint(graph.left() - 1, scale.bottom())),
        watchGraphBackground());
    painter.setClipRect(scale);
    setLabelFont(painter, false);

    QList<double> offsets;
    QList<double> values;
    ticksAlong(graph.height(), 18.0, bottom, top, offsets, values);
    const int textRight = graph.left() - tickLength - 3;
    const int textLeft = scale.left() + labelPixelSize + 3;
    const int width = textRight - textLeft + 1;
    const QFontMetrics metrics(painter.font());
    QList<int> ys;
    QStringList texts;
    for (int k = 0; k < offsets.size(); ++k) {
        const int y = int(std::lround(graph.bottom() - offsets.at(k)));
        if (y < graph.top() - 1 || y > graph.bottom())
            continue;
        painter.setPen(tickColour());
        painter.drawLine(graph.left() - tickLength, y, graph.left() - 1, y);
        ys.append(y);
        texts.append(scaleTickText(values.at(k), tickStep(values), width, metrics));
    }
    painter.setPen(tickLabelColour());
    // Too narrow for the digits that tell neighbours apart, a run of equal labels would read as a
    // flat scale: the run's middle tick alone says the value.
    for (qsizetype first = 0; first < texts.size();) {
        qsizetype last = first;
        while (last + 1 < texts.size() && texts.at(last + 1) == texts.at(first))
            ++last;
        const qsizetype k = (first + last) / 2;
        first = last + 1;
        // Labels at the ends stay whole inside the scale.
        const int labelY =
            std::clamp(ys.at(k), scale.top() + 5, std::max(scale.top() + 5, scale.bottom() - 5));
        // A label that does not fit even so keeps its first digits in view.
        const Qt::Alignment side =
            metrics.horizontalAdvance(texts.at(k)) <= width ? Qt::AlignRight : Qt::AlignLeft;
        painter.drawText(QRect(textLeft, labelY - 6, width, 12), side | Qt::AlignVCenter,
                         texts.at(k));
    }

    if (!label.isEmpty()) {
        painter.setPen(titleColour());
        painter.translate(scale.left() + 1, graph.center().y());
        painter.rotate(-90.0);
        const QFontMetrics metrics(painter.font());
        const QString shown = metrics.elidedText(label, Qt::ElideRight, graph.height() - 4);
        painter.drawText(QRect(-graph.height() / 2, 0, graph.height(), labelPixelSize + 2),
                         Qt::AlignCenter, shown);
    }
    painter.restore();
}

void drawParameterAxis(QPainter &painter, const QRect &axis, const QRect &graph, double low,
                       double high, const QString &label)
{
    if (axis.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(axis, watchGraphBackground());
    painter.setClipRect(axis);
    setLabelFont(painter, false);
    const QFontMetrics metrics(painter.font());

    QList<double> offsets;
    QList<double> values;
    ticksAlong(graph.width() - 1, 20.0, low, high, offsets, values);
    QList<QRect> labels;
    for (int k = 0; k < offsets.size(); ++k) {
        const int x = int(std::lround(graph.left() + offsets.at(k)));
        painter.setPen(tickColour());
        painter.drawLine(x, axis.top() + 1, x, axis.top() + tickLength);
        const int width = metrics.horizontalAdvance(watchTickText(values.at(k), tickStep(values)));
        // A label wider than the axis keeps its start in view: its first digits matter most.
        const int left = std::max(axis.left(), std::min(x - width / 2, axis.right() - width));
        labels.append(QRect(left, axis.top() + tickLength + 1, width + 1, labelPixelSize + 2));
    }
    const int stride = labelStride(labels);
    painter.setPen(tickLabelColour());
    for (int k = 0; k < labels.size(); k += stride)
        painter.drawText(labels.at(k), Qt::AlignLeft | Qt::AlignVCenter,
                         watchTickText(values.at(k), tickStep(values)));

    if (!label.isEmpty()) {
        painter.setPen(titleColour());
        const QString shown = metrics.elidedText(label, Qt::ElideRight, graph.width() - 4);
        painter.drawText(QRect(graph.left(), axis.bottom() - labelPixelSize - 1, graph.width(),
                               labelPixelSize + 2),
                         Qt::AlignHCenter | Qt::AlignVCenter, shown);
    }
    painter.restore();
}
