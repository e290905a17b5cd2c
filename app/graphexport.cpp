#include "app/graphexport.h"

#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchview.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QLocale>
#include <QMimeData>
#include <QStringList>

namespace {

QString joinedLines(const QString &text)
{
    return text.split("\n").join(" / ");
}

// The shortest text that reads back as the same double, so a pasted export keeps every digit;
// a missing value reads "nan".
QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString coordinate(const DataDimension &dimension, int i, int count)
{
    return number(dimension.from + (dimension.to - dimension.from) / (count - 1) * i);
}

QStringList curveLines(const MinMaxMultiDimData &data, const QList<double> &values,
                       const QString &title)
{
    const DataDimension &x = data.dimensions()[data.freeDimension(0)];
    QStringList lines{QString("%1\t%2").arg(x.label, title)};
    const int n = int(values.size());
    if (n < 2)
        return lines;
    for (int i = 0; i < n; ++i)
        lines.append(QString("%1\t%2").arg(coordinate(x, i, n), number(values[i])));
    return lines;
}

// The first free dimension changes slowest in the rows, as the values' layout has it fastest.
QStringList surfaceLines(const MinMaxMultiDimData &data, const QList<double> &values,
                         const QString &title)
{
    const DataDimension &x = data.dimensions()[data.freeDimension(0)];
    const DataDimension &y = data.dimensions()[data.freeDimension(1)];
    QStringList lines{QString("%1\t%2\t%3").arg(x.label, y.label, title)};
    if (values.size() < 2)
        return lines;
    const int c = x.count;
    const int d = y.count;
    for (int i = 0; i < c; ++i) {
        for (int j = 0; j < d && i + j * c < values.size(); ++j) {
            lines.append(
                QString("%1\t%2\t%3")
                    .arg(coordinate(x, i, c), coordinate(y, j, d), number(values[i + j * c])));
        }
    }
    return lines;
}

} // namespace

QString GraphExport::dataText(const MinMaxMultiDimData &data, const QString &watchText)
{
    const QList<double> values = data.extractValues(data.dataExtractionSettings().indices);
    const QString title = joinedLines(watchText);
    if (data.graphDepth() == GraphDepthCurve && data.freeDimension(0) >= 0)
        return curveLines(data, values, title).join("\n");
    if (data.graphDepth() == GraphDepthSurface && data.freeDimension(1) >= 0)
        return surfaceLines(data, values, title).join("\n");
    return QString();
}

QString GraphExport::htmlTable(const QString &text)
{
    QString html = "<table>";
    for (const QString &line : text.split("\n")) {
        html += "<tr>";
        for (const QString &cell : line.split("\t"))
            html += "<td>" + cell.toHtmlEscaped() + "</td>";
        html += "</tr>";
    }
    return html + "</table>";
}

QPixmap GraphExport::image(VIVExcelWatchView *watch)
{
    const WatchAreaFlags splitLines = watch->areaFlags() & VIVExcelWatchView::AreaSplit;
    watch->removeAreaFlags(splitLines);
    QPixmap pixmap(watch->size());
    pixmap.fill(Qt::darkGray);
    const bool fast = watch->fastDrawCount() > 0;
    watch->setCanUseFastDraw(false);
    watch->render(&pixmap, QPoint(0, 0), QRegion(),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    watch->setCanUseFastDraw(fast);
    watch->addAreaFlags(splitLines);
    return pixmap;
}

void GraphExport::copyData(VIVExcelWatchView *watch)
{
    const QString text = dataText(*watch->data(), watch->text());
    if (text.isEmpty())
        return;
    auto *mime = new QMimeData;
    mime->setText(text);
    mime->setHtml(htmlTable(text));
    QApplication::clipboard()->setMimeData(mime);
}

void GraphExport::copyImage(VIVExcelWatchView *watch)
{
    const QPixmap pixmap = image(watch);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    auto *mime = new QMimeData;
    mime->setImageData(pixmap.toImage());
    mime->setData("image/png", png);
    QApplication::clipboard()->setMimeData(mime);
}
