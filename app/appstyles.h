#ifndef APPSTYLES_H
#define APPSTYLES_H

#include <QRect>
#include <QString>

class QWidget;
class WatchWindow;

// The look the program's own windows share: grey scroll bars and the metal slider handles.
namespace AppStyles {

QString scrollBar();
QString verticalScrollBar();
QString slider();
// A watch window placed 400 px wide at the right of the available area, styled and set up as
// the main window wants it; the caller wires it.
WatchWindow *createWatchWindow(const QRect &available);

} // namespace AppStyles

#endif
