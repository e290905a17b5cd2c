#include "widgets/progresspushbutton.h"

#include <QPainter>

ProgressPushButton::ProgressPushButton(QWidget *parent) : QPushButton(parent) {}

void ProgressPushButton::setProgress(double fraction)
{
    if (fraction == m_progress)
        return;
    m_progress = fraction;
    update();
}

void ProgressPushButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    const QRect contents = contentsRect();
    const int right = contents.left() + int(contents.width() * m_progress);
    QColor strip(Qt::blue);
    strip.setAlphaF(0.8f);
    QPainter painter(this);
    painter.fillRect(
        QRect(QPoint(contents.left(), contents.bottom() - 3), QPoint(right, contents.bottom() - 2)),
        strip);
}
