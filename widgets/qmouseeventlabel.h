#ifndef QMOUSEEVENTLABEL_H
#define QMOUSEEVENTLABEL_H

#include <QLabel>

// A label that reports presses, moves and double clicks as signals, so that forms can use
// labels as links and drag handles.
class QMouseEventLabel : public QLabel
{
    Q_OBJECT

public:
    explicit QMouseEventLabel(QWidget *parent = nullptr);

signals:
    void mousePressed(QMouseEvent *event);
    void mouseMoved(QMouseEvent *event);
    void mouseDoubleClicked(QMouseEvent *event);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

#endif
