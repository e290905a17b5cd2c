#include "watches/vivexcelwatchscale.h"

#include "graph/axisticks.h"
#include "graph/colourramp.h"
#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double minLabelDistance = 30.0;

bool sameValue(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

VIVExcelWatchScale::VIVExcelWatchScale(QWidget *parent) : QWidget(parent)
{
    connect(&m_throttle, &RepaintThrottle::repaintDue, this, [this] { QWidget::update(); });
}

VIVExcelWatchView *VIVExcelWatchScale::watchView() const
{
    return m_watchView;
}

void VIVExcelWatchScale::setWatchView(VIVExcelWatchView *view)
{
    if (view == m_watchView)
        return;
    VIVExcelWatchView *old = m_watchView;
    m_watchView = view;
    // The old view may already show another scale; only our own pairing is undone.
    if (old && old->watchScale() == this)
        old->setWatchScale(nullptr);
    if (view)
        view->setWatchScale(this);
    update(false);
}

void VIVExcelWatchScale::setValueRange(double min, double max)
{
    if (sameValue(min, m_rangeMin) && sameValue(max, m_rangeMax))
        return;
    m_rangeMin = min;
    m_rangeMax = max;
    // An empty range still needs a span for the ticks and the marker.
    if (min >= max) {
        m_rangeMin = min - 0.5;
        m_rangeMax = max + 0.5;
    }
    computeTicks();
}

void VIVExcelWatchScale::computeTicks()
{
    const QRect contents = contentsRect();
    axisTicks(contents.bottom() - contents.top(), minLabelDistance, m_rangeMin, m_rangeMax,
              m_tickPositions, m_tickValues);
}

void VIVExcelWatchScale::computeRamp()
{
    m_rampColours.clear();
    const int rows = std::max(0, contentsRect().height());
    m_rampColours.reserve(rows);
    for (int i = 0; i < rows; ++i)
        m_rampColours.append(QColor::fromRgb(rampColour(int(double(rows - i) / rows * 255.0))));
}

void VIVExcelWatchScale::update(bool force)
{
    if (force) {
        m_throttle.cancelPending();
        repaint();
        return;
    }
    if (m_throttle.admit())
        QWidget::update();
}

void VIVExcelWatchScale::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    computeTicks();
    computeRamp();
}

void VIVExcelWatchScale::paintEvent(QPaintEvent *)
{
    m_throttle.paintStarted();
    if (!m_watchView || width() == 0 || height() == 0)
        return;
    const MinMaxMultiDimData *data = m_watchView->data();
    setValueRange(data->minimum(), data->maximum());
    QPainter painter(this);
    const QRect contents = contentsRect();
    // A scale resized while hidden gets its resize event only when shown.
    if (m_rampColours.size() != std::max(0, contents.height()))
        computeRamp();
    paintRamp(painter, contents);
    if (m_rangeMax - m_rangeMin > 0.0)
        paintTicks(painter, contents);
    paintCrossPoint(painter, contents);
}

void VIVExcelWatchScale::paintRamp(QPainter &painter, const QRect &contents)
{
    for (int i = 0; i < m_rampColours.size(); ++i) {
        painter.setPen(m_rampColours.at(i));
        painter.drawLine(contents.left() + 1, contents.top() + i, contents.left() + 6,
                         contents.top() + i);
    }
}

void VIVExcelWatchScale::paintTicks(QPainter &painter, const QRect &contents)
{
    QFont font = painter.font();
    font.setPixelSize(8);
    painter.setFont(font);
    painter.setPen(QPen(Qt::white, 1));
    const int height = contents.height();
    for (int k = 0; k < m_tickPositions.size(); ++k) {
        const int y = int(contents.bottom() - m_tickPositions.at(k) - 1);
        if (y <= 0 || y >= height - 5)
            continue;
        painter.drawText(
            QRect(QPoint(contents.left() + 9, y - 10), QPoint(contents.right(), y + 9)),
            Qt::AlignLeft | Qt::AlignVCenter, QString::number(m_tickValues.at(k), 'g', 6));
    }
}

void VIVExcelWatchScale::paintCrossPoint(QPainter &painter, const QRect &contents)
{
    const double value = m_watchView->crossPointValue();
    const double span = m_rangeMax - m_rangeMin;
    // Without a range or a value there is nothing to mark.
    if (!std::isfinite(value) || !std::isfinite(span) || span <= 0.0)
        return;
    const int h = contents.bottom() - contents.top();
    // Far-off values only need to land outside the ramp, not at their exact pixel.
    const double offset =
        std::clamp(h - h * (value - m_rangeMin) / span, -4.0 * h - 20.0, 5.0 * h + 20.0);
    const int t = int(offset);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawLine(0, contents.top() + t, width(), contents.top() + t);

    QRect box(QPoint(4, t - 7), QPoint(width() - 5, t + 6));
    if (t - 7 < 0)
        box = QRect(QPoint(4, 0), QPoint(width() - 5, 13));
    if (box.bottom() > h)
        box.moveBottom(h);

    QFont font = painter.font();
    font.setPixelSize(8);
    font.setWeight(QFont::Bold);
    const QString text = QString::number(value, 'g', 3);
    int textWidth = QFontMetrics(font).horizontalAdvance(text);
    if (textWidth > box.width() && textWidth < width() - 2) {
        box.setLeft(2);
        box.setRight(width() - 3);
        if (textWidth >= width() - 5) {
            font.setPixelSize(font.pixelSize() - 1);
            textWidth = QFontMetrics(font).horizontalAdvance(text);
        }
    }
    painter.setFont(font);
    box.translate(contents.topLeft());
    painter.fillRect(box, QColor(255, 255, 204, 230));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    const QRect inner = box.adjusted(2, 1, -1, -1);
    const Qt::Alignment alignment =
        textWidth > inner.width() ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
    painter.drawText(inner, alignment, text);
}
