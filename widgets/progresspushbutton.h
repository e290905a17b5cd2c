#ifndef PROGRESSPUSHBUTTON_H
#define PROGRESSPUSHBUTTON_H

#include <QPushButton>

// A push button with a thin progress strip along its bottom edge. The owner sets
// `progress` (0 empty, 1 full width) and repaints the button.
class ProgressPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit ProgressPushButton(QWidget *parent = nullptr);

    double progress = 0.0;

protected:
    void paintEvent(QPaintEvent *event) override;
};

#endif
