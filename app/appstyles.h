#ifndef APPSTYLES_H
#define APPSTYLES_H

#include <QRect>
#include <QString>

class QWidget;
class WatchWindow;

// The look the program's own windows share: grey scroll bars, the metal slider handles, and
// scroll areas that let the window's background show through.
namespace AppStyles {

QString scrollBar();
QString verticalScrollBar();
QString slider();
void makeTransparent(QWidget *widget);
// A watch window placed 400 px wide at the right of the available area, styled and set up as
// the main window wants it; the caller wires it.
WatchWindow *createWatchWindow(const QRect &available);

} // namespace AppStyles

#endif
