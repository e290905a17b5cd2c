#include "watches/watchpainter.h"

#include "watches/watchaxes.h"
#include "widgets/imagecache.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

WatchPainter::WatchPainter(QPainter &painter, const WatchLayout &layout)
    : m_painter(painter), m_layout(layout)
{}

void WatchPainter::paintSurroundings(const WatchSurroundings &surroundings,
                                     const QRect &exposed) const
{
    const bool graphExposed = m_layout.rect(WatchAreaGraph).intersects(exposed);
    const bool flat = !m_layout.cube;
    if (m_layout.shows(WatchAreaFlag::Scale) && flat &&
        (graphExposed || m_layout.rect(WatchAreaScale).intersects(exposed)))
        paintScale(surroundings.scale);
    if (m_layout.shows(WatchAreaFlag::Axis) && flat &&
        (graphExposed || m_layout.rect(WatchAreaAxis).intersects(exposed)))
        paintAxis(surroundings.axis);
    if (m_layout.shows(WatchAreaFlag::Text) && m_layout.rect(WatchAreaText).intersects(exposed))
        paintText(surroundings.text);
    if (m_layout.shows(WatchAreaFlag::Buttons) && !surroundings.buttons.isEmpty() &&
        m_layout.rect(WatchAreaButtons).intersects(exposed)) {
        if (surroundings.buttonsVisible)
            paintButtons(surroundings.buttons, surroundings.hoveredButton);
        else if (surroundings.mouseOverIndicator && m_layout.shows(WatchAreaFlag::Indicator))
            paintIndicator();
    }
    paintFrame();
}

void WatchPainter::paintScaleAndAxis(const WatchSurroundings &surroundings) const
{
    if (m_layout.shows(WatchAreaFlag::Scale))
        paintScale(surroundings.scale);
    if (m_layout.shows(WatchAreaFlag::Axis))
        paintAxis(surroundings.axis);
}

// Centred text wider than the box would lose both its ends; a label is read from its start.
QString WatchPainter::elided(const QString &text, int width) const
{
    const QFontMetrics metrics(m_painter.font());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, width);
    return lines.join(QLatin1Char('\n'));
}

void WatchPainter::paintText(const QString &text) const
{
    const QRect rect = m_layout.rect(WatchAreaText);
    const Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignTop | Qt::AlignVCenter;
    m_painter.save();
    QFont font = m_painter.font();
    if (m_layout.shows(WatchAreaFlag::TextMetal)) {
        m_painter.drawImage(rect, *cachedImage(QStringLiteral(":resources/metal.jpg")));
        font.setPixelSize(12);
        font.setWeight(QFont::Normal);
        m_painter.setFont(font);
        const QString shown = elided(text, rect.width());
        // Dark above, light to the right: the text looks pressed into the metal.
        m_painter.setPen(Qt::black);
        m_painter.drawText(rect.translated(0, -1), alignment, shown);
        m_painter.setPen(Qt::white);
        m_painter.drawText(rect.translated(1, 0), alignment, shown);
    } else {
        m_painter.fillRect(rect, watchGraphBackground());
        font.setPixelSize(10);
        font.setWeight(QFont::Bold);
        m_painter.setFont(font);
        const QRect shifted = rect.translated(0, -1);
        const QString shown = elided(text, rect.width());
        m_painter.setPen(Qt::black);
        m_painter.drawText(shifted, alignment, shown);
        m_painter.setPen(Qt::white);
        m_painter.drawText(shifted, alignment, shown);
    }
    m_painter.restore();
}

void WatchPainter::paintButtons(const QList<WatchButton> &buttons, int hovered) const
{
    const QRect area = m_layout.rect(WatchAreaButtons).adjusted(0, 0, 1, 1);
    const int size = m_layout.buttonSize;
    for (int i = 0; i < buttons.size(); ++i) {
        const QRect cell(QPoint(area.right() - (i + 1) * size, area.top()),
                         QPoint(area.right() - i * size - 1, area.top() + size + 2));
        const bool isHovered = i == hovered;
        m_painter.fillRect(cell, QColor(48, 48, 48, isHovered ? 200 : 150));
        m_painter.drawImage(cell.topLeft(), *cachedImage(buttons.at(i).iconPath));
        if (!isHovered)
            m_painter.fillRect(cell, QColor(48, 48, 48, 50));
    }
}

void WatchPainter::paintIndicator() const
{
    const QRect area = m_layout.rect(WatchAreaButtons);
    m_painter.drawImage(area.topLeft(),
                        *cachedImage(QStringLiteral(":resources/watchbuttonbutton.png")));
}

void WatchPainter::paintSplitLines(const QRect &graph, QPointF splitPoint) const
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(QPen(Qt::white, 1));
    if (m_layout.shows(WatchAreaFlag::SplitVertical)) {
        const int x = int(graph.left() + splitPoint.x() * graph.width());
        m_painter.drawLine(x, graph.top(), x, graph.bottom());
    }
    if (m_layout.shows(WatchAreaFlag::SplitHorizontal)) {
        const int y = int(graph.bottom() - splitPoint.y() * graph.height());
        m_painter.drawLine(graph.left(), y, graph.right(), y);
    }
    m_painter.restore();
}

void WatchPainter::paintScale(const GraphRange &range) const
{
    const QRect scale = m_layout.rect(WatchAreaScale);
    // The corner under the scale and left of the axis belongs to neither; it gets their ground.
    if (m_layout.shows(WatchAreaFlag::Axis)) {
        const QRect axis = m_layout.rect(WatchAreaAxis);
        m_painter.fillRect(
            QRect(QPoint(scale.left(), scale.bottom() + 1), QPoint(axis.left() - 1, axis.bottom())),
            watchGraphBackground());
    }
    drawValueScale(m_painter, scale, m_layout.rect(WatchAreaGraph), range.high, range.low,
                   range.label);
}

void WatchPainter::paintAxis(const GraphRange &range) const
{
    drawParameterAxis(m_painter, m_layout.rect(WatchAreaAxis), m_layout.rect(WatchAreaGraph),
                      range.low, range.high, range.label);
}

void WatchPainter::paintFrame() const
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBrush(Qt::NoBrush);
    const QRect frame = m_layout.contents.adjusted(1, 1, -2, -2);
    m_painter.setPen(QPen(Qt::white, 1));
    m_painter.drawRect(frame);
    m_painter.setPen(QPen(Qt::black, 1));
    m_painter.drawRect(frame.translated(1, 1));
    m_painter.restore();
}
