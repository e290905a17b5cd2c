#include "widgets/splashscreen.h"

#include "widgets/imagecache.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int lifeAfterFirstPaint = 5000;
constexpr int iconSize = 70;
constexpr int iconMargin = 20;

} // namespace

SplashScreen::SplashScreen(QWidget *parent) : QLabel(parent), closeTimer(new QTimer(this))
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);
    closeTimer->setInterval(lifeAfterFirstPaint);
    closeTimer->setSingleShot(true);
    connect(closeTimer, &QTimer::timeout, this, &QObject::deleteLater);
    const QImage &image = *cachedImage(":resources/SplashScreen.png");
    const QPixmap picture = QPixmap::fromImage(image);
    setPixmap(picture);
    resize(image.size());
    // Without a compositing manager the see-through corners would show black; the shape
    // keeps them clean either way.
    if (picture.hasAlphaChannel())
        setMask(picture.mask());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void SplashScreen::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QImage icon =
        cachedImage(":icons/IconMarlowinPro512.png")
            ->scaled(iconSize, iconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(contentsRect().right() - iconSize - iconMargin, iconMargin, icon);
    painter.end();
    if (!closeTimer->isActive() && closeTimer->interval() != 0)
        closeTimer->start();
}
