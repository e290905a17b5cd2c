#ifndef PROGRESSPUSHBUTTON_H
#define PROGRESSPUSHBUTTON_H

#include <QPushButton>

// A push button with a thin progress strip along its bottom edge, 0 empty, 1 full width.
class ProgressPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit ProgressPushButton(QWidget *parent = nullptr);

    double progress() const { return m_progress; }
    void setProgress(double fraction);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_progress = 0.0;
};

#endif
