#include "contactsheet.h"

#include "canvas.h"

#include <QFontMetrics>
#include <algorithm>

namespace {

constexpr int sheetWidth = 1400;
constexpr int gap = 12;
constexpr int labelHeight = 16;

QImage enlarged(const QImage &image)
{
    const int side = std::max(image.width(), image.height());
    if (side <= 48)
        return image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (side <= 128)
        return image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (image.height() > 400)
        return image.scaled(QSize(256, 256), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

struct Tile
{
    QString name;
    QImage image;
    QPoint at;
};

QList<Tile> layOut(const QList<QPair<QString, QImage>> &images, int &height)
{
    QList<Tile> tiles;
    QPoint cursor(gap, gap);
    int rowHeight = 0;
    for (const auto &entry : images) {
        const QImage shown = enlarged(entry.second);
        const int width = std::max(shown.width(), 120);
        if (cursor.x() + width > sheetWidth - gap) {
            cursor = QPoint(gap, cursor.y() + rowHeight + labelHeight + gap);
            rowHeight = 0;
        }
        tiles.append({entry.first, shown, cursor});
        cursor.rx() += width + gap;
        rowHeight = std::max(rowHeight, shown.height());
    }
    height = cursor.y() + rowHeight + labelHeight + gap;
    return tiles;
}

} // namespace

QImage contactSheet(const QList<QPair<QString, QImage>> &images, const QImage &ground)
{
    int height = 0;
    const QList<Tile> tiles = layOut(images, height);
    QImage sheet(sheetWidth, height, QImage::Format_RGB32);
    QPainter painter;
    beginArt(painter, sheet);
    painter.fillRect(sheet.rect(), QBrush(ground));
    painter.setFont(artFont(11, false));
    for (const Tile &tile : tiles) {
        painter.drawImage(tile.at, tile.image);
        painter.setPen(QColor(230, 230, 230));
        painter.drawText(QPoint(tile.at.x(), tile.at.y() + tile.image.height() + 12), tile.name);
    }
    return sheet;
}
