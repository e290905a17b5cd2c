#include "qmouseeventlabel.h"

QMouseEventLabel::QMouseEventLabel(QWidget *parent) : QLabel(parent) {}

void QMouseEventLabel::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event);
}

void QMouseEventLabel::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event);
}

void QMouseEventLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit mouseDoubleClicked(event);
}
