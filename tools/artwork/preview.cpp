#include "preview.h"

#include "canvas.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace {

constexpr int previewWidth = 608;
constexpr int previewHeight = 330;

void drawChrome(QPainter &painter, const QMap<QString, QImage> &images)
{
    painter.fillRect(QRect(0, 0, previewWidth, previewHeight),
                     QBrush(images["stainless-steel.jpg"]));
    const QRectF border(4, 4, previewWidth - 10, previewHeight - 8);
    painter.setPen(Qt::black);
    painter.drawRoundedRect(border, 3, 3);
    painter.setPen(QColor(255, 255, 255, 128));
    painter.drawRoundedRect(border.translated(1, 1), 3, 3);
    int limit = previewWidth - 1 - 7;
    for (const char *name : {"btn_on.png", "btn_minimize_on_hover.png", "btn_help.png"}) {
        const QImage &button = images[QString::fromLatin1(name)];
        limit -= button.width();
        painter.drawImage(limit, 20 - button.height() / 2, button);
    }
    painter.setPen(Qt::white);
    painter.drawLine(10, 25, limit - 4, 25);
    painter.setPen(QColor(0, 0, 0, 140));
    painter.drawLine(10, 24, limit - 4, 24);
    painter.setPen(QColor(0x50, 0x50, 0x50));
    painter.drawRect(7, 6, 17, 17);
    painter.drawImage(8, 7, images["IconMarlowinPro16.png"]);
    painter.setFont(artFont(13, true));
    painter.setPen(Qt::white);
    painter.drawText(QPointF(30, 19), QStringLiteral("Marlowin Pro"));
}

void drawButtonRow(QPainter &painter, const QMap<QString, QImage> &images)
{
    const char *labels[] = {"New Sliders", "New Watches", "Remove All", "Graph"};
    painter.setFont(artFont(12, false));
    for (int k = 0; k < 4; ++k) {
        const QRect button(20 + 110 * k, 32, 100, 24);
        painter.save();
        painter.setBrushOrigin(button.topLeft());
        painter.fillRect(button, QBrush(images["metal.jpg"]));
        painter.restore();
        painter.setPen(Qt::black);
        painter.drawText(button, Qt::AlignCenter, QString::fromLatin1(labels[k]));
    }
    painter.setFont(artFont(11, false));
    painter.setPen(QColor(211, 211, 211));
    painter.drawText(QPointF(480, 60), QStringLiteral("Terms of Use"));
}

void drawEmbossed(QPainter &painter, const QRect &rect, const QString &text)
{
    painter.setPen(Qt::black);
    painter.drawText(rect.translated(0, -1), Qt::AlignCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(rect.translated(1, 0), Qt::AlignCenter, text);
}

void drawDisplay(QPainter &painter, const QMap<QString, QImage> &images, QPoint at, bool active)
{
    const QRect text(at.x() + 2, at.y() + 2, 80, 34);
    painter.drawImage(text, images["metal.jpg"]);
    painter.setFont(artFont(12, false));
    drawEmbossed(painter, text, QStringLiteral("Annual rate"));
    const QRect graph(at.x() + 2, at.y() + 36, 80, 25);
    painter.fillRect(graph, Palette::screen);
    painter.setPen(QPen(QColor(255, 255, 255), 1.0));
    painter.drawLine(graph.left() + 4, graph.bottom() - 8, graph.right() - 4, graph.top() + 6);
    const QImage &mark = images[active ? "slider_xz_x.png" : "slider_xyz_y.png"];
    painter.drawImage(at.x() + 42 - mark.width() / 2, at.y() + 60 - mark.height(), mark);
    painter.drawImage(at.x() + 3, at.y() + 3, images["watchbuttonbutton.png"]);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(at, QSize(84, 64)).adjusted(1, 1, -2, -2));
}

void drawSliderColumn(QPainter &painter, const QMap<QString, QImage> &images, QPoint at,
                      bool active)
{
    const QRect view(at, QSize(90, 262));
    QLinearGradient shade(view.left() - 90, view.top(), view.right() + 90, view.bottom());
    shade.setColorAt(0.0, QColor(255, 255, 255, 100));
    shade.setColorAt(1.0, QColor(0, 0, 0, 240));
    painter.fillRect(view, shade);
    drawDisplay(painter, images, at + QPoint(3, 4), active);
    painter.drawImage(at.x() + 15, at.y() + 72, images["btnScan1D.png"]);
    painter.drawImage(at.x() + 50, at.y() + 72, images["btnSliderSettings.png"]);
    const QRect slider(at.x() + 3, at.y() + 94, 50, 140);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(190, 190, 190));
    painter.drawRect(slider.center().x() - 3, slider.top(), 6, slider.height() - 1);
    const int handleTop = slider.top() + 50;
    QLinearGradient knob(slider.left() + 8, handleTop, slider.left() + 42, handleTop + 28);
    knob.setColorAt(0.0, Qt::white);
    knob.setColorAt(1.0, QColor(128, 128, 128));
    painter.setBrush(knob);
    painter.drawRoundedRect(QRect(slider.left() + 8, handleTop, 34, 28), 2, 2);
    if (active)
        painter.drawImage(slider.left() + 3, handleTop - 4, images["ActiveSliderBackground.png"]);
    const QRect address(at.x() + 3, at.y() + 238, 84, 20);
    painter.drawImage(address, images["metal.jpg"]);
    painter.setFont(artFont(12, true));
    painter.setPen(Qt::black);
    painter.drawText(address, Qt::AlignCenter, QStringLiteral("$B$4"));
}

void drawWatchButtons(QPainter &painter, const QMap<QString, QImage> &images, QPoint at)
{
    const QRect text(at, QSize(200, 34));
    painter.drawImage(text, images["metal.jpg"]);
    painter.setFont(artFont(12, false));
    drawEmbossed(painter, text, QStringLiteral("Monthly payment"));
    const char *icons[] = {"watchbuttonclose.png", "watchbuttonexport.png",
                           "watchbuttonexportdata.png"};
    for (int i = 0; i < 3; ++i) {
        const QRect cell(at.x() + 72 - (i + 1) * 24, at.y(), 24, 27);
        painter.fillRect(cell, QColor(48, 48, 48, i == 1 ? 200 : 150));
        painter.drawImage(cell.topLeft(), images[QString::fromLatin1(icons[i])]);
        if (i != 1)
            painter.fillRect(cell, QColor(48, 48, 48, 50));
    }
    painter.drawImage(at.x(), at.y() + 50, images["img_small_graph.png"]);
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(at.x() + 28, at.y() + 62, at.x() + 120, at.y() + 62);
    painter.drawImage(at.x() + 126, at.y() + 50, images["img_big_graph.png"]);
}

} // namespace

QImage splashPreview(const QMap<QString, QImage> &images)
{
    QImage splash = images["SplashScreen.png"];
    QPainter painter;
    beginArt(painter, splash);
    const QImage icon = images["IconMarlowinPro512.png"].scaled(70, 70, Qt::IgnoreAspectRatio,
                                                                Qt::SmoothTransformation);
    painter.drawImage(splash.width() - 1 - 70 - 20, 20, icon);
    return splash;
}

QImage windowPreview(const QMap<QString, QImage> &images)
{
    QImage image(previewWidth, previewHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter painter;
    beginArt(painter, image);
    drawChrome(painter, images);
    drawButtonRow(painter, images);
    drawSliderColumn(painter, images, QPoint(20, 62), true);
    drawSliderColumn(painter, images, QPoint(120, 62), false);
    drawWatchButtons(painter, images, QPoint(240, 80));
    return image;
}
