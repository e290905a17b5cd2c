#ifndef SPLASHSCREEN_H
#define SPLASHSCREEN_H

#include <QLabel>

class QTimer;

// The picture shown while the program starts. It stays on top, centred on the primary
// screen, and deletes itself a few seconds after it was first painted, so it is seen for
// the same time however long the start takes.
class SplashScreen : public QLabel
{
    Q_OBJECT

public:
    explicit SplashScreen(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer *closeTimer;
};

#endif
