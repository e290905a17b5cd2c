#ifndef GRAPHEXPORT_H
#define GRAPHEXPORT_H

#include <QPixmap>
#include <QString>

class MinMaxMultiDimData;
class QMimeData;
class VIVExcelWatchView;

// Copies a watch's graph to the clipboard: as a picture, or as tab-separated numbers with a
// header line that paste into a spreadsheet as a table.
namespace GraphExport {

// The curve (graph depth 2) or surface (depth 4) the store's extraction shows, header first;
// empty for any other depth.
QString dataText(const MinMaxMultiDimData &data, const QString &watchText);
// The same rows as an HTML table, which spreadsheets paste as cells without asking.
QString htmlTable(const QString &text);
// The watch drawn at full quality without split lines.
QPixmap image(VIVExcelWatchView *watch);

void copyData(VIVExcelWatchView *watch);
void copyImage(VIVExcelWatchView *watch);

} // namespace GraphExport

#endif
